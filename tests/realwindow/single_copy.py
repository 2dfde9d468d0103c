#!/usr/bin/env python3
"""A second start on the same data folder brings the running copy's Main up,
exits 0 and writes nothing; a copy killed outright does not stop the next
start."""

import os
import signal
import subprocess
import sys

import rw
from rw import check


def folder_state():
    return sorted((str(p), p.stat().st_size, p.stat().st_mtime) for p in desk.app.rglob("*"))


def second_start(main):
    cover = desk.cover()
    status = subprocess.run([desk.app / "potora"], env=desk.env, cwd="/", timeout=20,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
    check(f"a second start exits 0 ({status}) and raises the running copy's Main",
          status == 0 and rw.wait_for(lambda: desk.on_top(main), 3))
    desk.uncover()


with rw.Desktop(sys.argv[1]) as desk:
    program = desk.start()
    main = desk.wait_window("ポトラ")
    check("its icon is in the tray", rw.wait_for(desk.tray_icons, 10))
    before = folder_state()
    second_start(main)
    check("the running copy goes on, with one Main and one icon",
          program.poll() is None and len(desk.windows("ポトラ")) == 1 and len(desk.tray_icons()) == 1)
    check("nothing in the data folder changed", folder_state() == before)

    desk.stop(program, signal.SIGKILL)
    check("the killed copy left its lock behind", (desk.app / "potora.lock").exists())
    desk.start()
    main = desk.wait_window("ポトラ", 10)
    check("a start after the crash comes up", main)
    second_start(main)
rw.finish()
