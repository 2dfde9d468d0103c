#!/usr/bin/env python3
"""A start-up memo's box closed: the sound server plays the theme's bell
(what it sends to its output is recorded, and is not silent), libcanberra
loaded only then; with no sound server the X bell rings instead, and the
log says why."""

import glob
import signal
import subprocess
import sys
import time

import rw
from rw import check

rw.need("pulseaudio pulseaudio-utils sox x11-xkb-utils sound-theme-freedesktop libcanberra-pulse",
        "pulseaudio", "pactl", "parec", "sox", "xkbevd", "/usr/share/sounds/freedesktop/stereo/bell.oga")
if not glob.glob("/usr/lib/*/libcanberra-0.30/libcanberra-pulse.so"):
    rw.skip("libcanberra's pulse driver missing: apt-get install libcanberra0 libcanberra-pulse")


def maps_canberra(program):
    return "libcanberra.so" in open(f"/proc/{program.pid}/maps").read()


def memo_box_closed(desk):
    """Starts the program, closes the start-up memo's box; the program."""
    program = desk.start()
    box = desk.wait_window("ポトラ")
    check("the start-up memo's box came up", box is not None)
    check("libcanberra is not loaded before the first sound", not maps_canberra(program))
    desk.key("Return", window=box)
    time.sleep(1.5)
    return program


with rw.Desktop(sys.argv[1]) as desk:
    desk.plant("Timer/memo4.txt", rw.text_value("朝会"))
    server = desk.spawn("pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                        "--load=module-native-protocol-unix", "--load=module-null-sink sink_name=rec",
                        log=desk.tmp / "pulse.log")
    check("the sound server came up", rw.wait_for(lambda: "rec" in desk.x("pactl", "get-default-sink"), 10))
    desk.x("pactl", "set-default-sink", "rec")
    # The default latency loses the end of a recording.
    recording = desk.tmp / "out.raw"
    recorder = desk.spawn("parec", "-d", "rec.monitor", "--raw", "--latency-msec=20", recording)
    program = memo_box_closed(desk)
    recorder.send_signal(signal.SIGINT)
    recorder.wait()
    stat = subprocess.run(["sox", "-t", "raw", "-r", "44100", "-e", "signed", "-b", "16", "-c", "2", recording,
                           "-n", "stat"], stderr=subprocess.PIPE, text=True).stderr
    peak = float(next((line.split()[-1] for line in stat.splitlines() if line.startswith("Maximum amplitude")), 0))
    check(f"the bell reached the sound server's output (peak amplitude {peak})", peak > 0.1)
    check("libcanberra was loaded for it", maps_canberra(program))
    check("nothing was logged about it", "potora.sound" not in program.log.read_text())
    desk.stop(program)

    # No server: the client library is told where it was, so it cannot
    # start one of its own.
    desk.stop(server)
    desk.env["PULSE_SERVER"] = "unix:" + desk.env["XDG_RUNTIME_DIR"] + "/pulse/native"
    bells = desk.tmp / "bells"
    (desk.tmp / "xkbevd.cf").write_text(f'soundDirectory = "/"\nBell() shell "echo bell >> {bells}"\n')
    desk.spawn("xkbevd", "-cfg", desk.tmp / "xkbevd.cf")
    time.sleep(0.5)
    program = memo_box_closed(desk)
    check("the X bell rang", rw.wait_for(lambda: bells.exists() and "bell" in bells.read_text(), 5))
    check("the log says why", "no sound server" in program.log.read_text())
    desk.stop(program)
rw.finish()
