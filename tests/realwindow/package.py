#!/usr/bin/env python3
"""The Debian package installed, started from its menu entry with its data in $XDG_DATA_HOME, and removed."""

import os
import signal
import subprocess
import sys
from pathlib import Path

import rw
from rw import check

if os.geteuid() != 0:
    rw.skip("installing the package needs root")
rw.need("dpkg-dev file libglib2.0-bin", "cpack", "dpkg-shlibdeps", "file", "gio")
if subprocess.run(["dpkg-query", "-W", "-f=${Status}", "potora"], capture_output=True, text=True).stdout.startswith("install"):
    rw.skip("a potora package is installed already; the test would replace it")


def dpkg(*args):
    done = subprocess.run(["dpkg", *args], capture_output=True, text=True)
    return done.returncode == 0 or print(done.stderr[-1500:])


with rw.Desktop() as desk:
    made = subprocess.run(["cpack", "--config", Path(sys.argv[1]).resolve().parent / "CPackConfig.cmake", "-B", desk.tmp],
                          capture_output=True, text=True)
    debs = list(desk.tmp.glob("potora_*.deb"))
    if not check(f"cpack made the package {[(d.name, d.stat().st_size) for d in debs]}", len(debs) == 1):
        sys.exit(made.stdout[-3000:] + made.stderr[-3000:])
    files, before, data = [], {}, Path(desk.env["XDG_DATA_HOME"]) / "ポトラ"
    try:
        check("dpkg -i installs it", dpkg("-i", debs[0]))
        files = [f for f in (desk.x("dpkg-query", "-L", "potora") or "").splitlines() if os.path.isfile(f)]
        check("it installs the help page where the program looks for it, the icon and the metadata",
              {"/usr/share/potora/help.html", "/usr/share/icons/hicolor/48x48/apps/potora.png",
               "/usr/share/metainfo/jp.potora.potora.metainfo.xml"} <= set(files))
        desk.spawn("gio", "launch", "/usr/share/applications/jp.potora.potora.desktop")
        main = desk.wait_window("ポトラ")
        pid = int(desk.x("xdotool", "getwindowpid", main or 0) or 0)
        check("its menu entry starts the installed program", pid and os.readlink(f"/proc/{pid}/exe") == "/usr/bin/potora")
        check("its 41 value files and the lock are in $XDG_DATA_HOME/ポトラ",
              rw.wait_for(lambda: len(list(data.glob("*/*.txt"))) == 41, 5) and (data / "potora.lock").exists())
        check("nothing is written beside the program",
              not any(Path("/usr/bin", name).exists() for name in ("set", "Timer", "potora.lock")))
        check("it quits at SIGTERM", pid and not os.kill(pid, signal.SIGTERM) and rw.wait_for(lambda: not os.path.exists(f"/proc/{pid}"), 10))
        before = {p: p.read_bytes() for p in data.rglob("*") if p.is_file()}
    finally:
        check("dpkg -r removes it", dpkg("-r", "potora"))
    check("none of its files is left", not [f for f in files if os.path.exists(f)])
    check("the user's data is as it was", {p: p.read_bytes() for p in data.rglob("*") if p.is_file()} == before)
