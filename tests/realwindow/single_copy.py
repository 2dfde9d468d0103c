#!/usr/bin/env python3
"""A second start on the same data folder brings the running copy's Main up,
exits 0 and writes nothing; a copy killed outright does not stop the next."""

import signal
import subprocess
import sys

import rw
from rw import check


def second_start(main):
    desk.cover()
    status = subprocess.run([desk.app / "potora"], env=desk.env, cwd="/", timeout=20, capture_output=True).returncode
    check(f"a second start exits 0 ({status}) and raises the running copy's Main",
          status == 0 and rw.wait_for(lambda: desk.on_top(main), 3))
    desk.uncover()


with rw.Desktop(sys.argv[1]) as desk:
    program = desk.start()
    main = desk.wait_window("ポトラ")
    rw.wait_for(desk.tray_icons, 10)
    before = sorted((str(p), p.stat().st_mtime) for p in desk.app.rglob("*"))
    second_start(main)
    check("the running copy goes on with one Main and one icon, and nothing in its folder changed",
          program.poll() is None and len(desk.windows("ポトラ")) == len(desk.tray_icons()) == 1
          and sorted((str(p), p.stat().st_mtime) for p in desk.app.rglob("*")) == before)
    desk.stop(program, signal.SIGKILL)
    check("the killed copy left its lock behind", (desk.app / "potora.lock").exists())
    desk.start()
    second_start(desk.wait_window("ポトラ", 10))
rw.finish()
