#!/usr/bin/env python3
"""The bell: the desktop theme's sound through the sound server, libcanberra loaded only then, else the X bell."""

import glob
import signal
import subprocess
from pathlib import Path

import rw
from rw import check

rw.need("pulseaudio pulseaudio-utils sox x11-xkb-utils xsettingsd", "pulseaudio", "pactl", "parec", "sox", "xkbevd", "xkbbell", "xsettingsd")
if not glob.glob("/usr/lib/*/libcanberra-0.30/libcanberra-pulse.so"):
    rw.skip("libcanberra's pulse driver missing: apt-get install libcanberra0 libcanberra-pulse")


def memo_box_closed():
    program, box = desk.start_main()
    maps = Path(f"/proc/{program.pid}/maps")
    check("libcanberra is not loaded before the first sound", box and "libcanberra" not in maps.read_text())
    desk.key("Return", window=box)
    return program, maps


def peak():
    stat = subprocess.run(["sox", "-traw", "-r44100", "-esigned", "-b16", "-c2", desk.tmp / "out.raw", "-n", "stat"],
                          stderr=subprocess.PIPE, text=True).stderr
    return float(next((line.split()[-1] for line in stat.splitlines() if line.startswith("Maximum amp")), 0))


with rw.Desktop() as desk:
    desk.plant("Timer/memo4.txt", rw.text_value("朝会"))
    # The desktop names the theme "loud": its bell is three times as loud as the freedesktop one.
    theme = Path(desk.env["XDG_DATA_HOME"]) / "sounds/loud"
    (theme / "stereo").mkdir(parents=True)
    (theme / "index.theme").write_text("[Sound Theme]\nName=loud\nDirectories=stereo\n[stereo]\nOutputProfile=stereo\n")
    subprocess.run(["sox", "-n", "-r44100", "-b16", "-c2", theme / "stereo/bell.wav", "synth", "0.3", "sine", "880", "vol", "0.9"])
    (desk.tmp / "xsettings").write_text('Net/SoundThemeName "loud"\n')
    desk.spawn("xsettingsd", "-c", desk.tmp / "xsettings")
    server = desk.spawn("pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--load=module-native-protocol-unix",
                        "--load=module-null-sink sink_name=rec")
    check("the sound server came up", rw.wait_for(lambda: "rec" in (desk.x("pactl", "get-default-sink") or ""), 10))
    # The default latency loses the end of a recording.
    recorder = desk.spawn("parec", "-d", "rec.monitor", "--raw", "--latency-msec=20", desk.tmp / "out.raw")
    program, maps = memo_box_closed()
    loud = rw.wait_for(lambda: peak() > 0.8, 10)
    check(f"the desktop theme's bell reached the server's output (peak amplitude {peak()})", loud)
    desk.stop(recorder, signal.SIGINT)
    check("libcanberra was loaded for it, nothing logged",
          "libcanberra" in maps.read_text() and "potora.sound" not in program.log.read_text())
    desk.stop(program)

    # No server, and the client library, told where it was, starts none.
    desk.stop(server)
    desk.env["PULSE_SERVER"] = "unix:" + desk.env["XDG_RUNTIME_DIR"] + "/pulse/native"
    (desk.tmp / "xkbevd.cf").write_text(f'soundDirectory = "/"\nBell(test) shell "touch {desk.tmp}/test"\nBell() shell "touch {desk.tmp}/bell"\n')
    desk.spawn("xkbevd", "-cfg", desk.tmp / "xkbevd.cf")
    check("xkbevd hears a bell of the test's own", rw.wait_for(lambda: desk.x("xkbbell", "test") is not None and (desk.tmp / "test").exists(), 5))
    program, _ = memo_box_closed()
    check("the X bell rang, and the log says why", rw.wait_for((desk.tmp / "bell").exists, 5)
          and "no sound server" in program.log.read_text())
