#!/usr/bin/env python3
"""Main brought up from outside: one icon in icewm's tray through the minute's re-adds
and a tray restart, Main up on a left press only, a taskbar entry without a tray and
the icon for a tray that comes later; a second start raises the running copy's Main,
exits 0 and writes nothing, and a copy killed outright does not stop the next."""

import re
import signal
import subprocess
import time

import rw
from rw import check


def press(*buttons, covered=True):
    """Which of Main and a window covering it is on top after presses on the icon, or
    after a second start of the program ("start"), which must exit 0."""
    cover = desk.cover() if covered else None
    for button in buttons:
        if button == "start":
            status = subprocess.run([desk.app / "potora"], env=desk.env, cwd="/", timeout=20, capture_output=True).returncode
            check(f"a second start exits 0 ({status})", status == 0)
        else:
            desk.x("xdotool", "mousemove", "--window", desk.tray_icons()[0], 12, 12, "click", button)
            time.sleep(0.4)
    up = "Main" if rw.wait_for(lambda: desk.on_top(main), 2) else "cover" if cover and desk.on_top(cover) else "neither"
    desk.uncover()
    return up


with rw.Desktop() as desk:
    fast = desk.faketime(FAKETIME="+0 x30")  # the minute's re-add every two seconds
    program, main = desk.start_main(env=fast)
    icons = rw.wait_for(desk.tray_icons, 10)
    check("one icon in the tray, named ポトラ", len(icons) == 1 and desk.title(icons[0]) == "ポトラ")
    time.sleep(6)
    check("three minutes' re-adds kept the same single icon", desk.tray_icons() == icons)
    check("a right and a middle press leave Main covered", press(3) == press(2) == "cover")
    check("a left press raises and activates Main, a double click leaves it up", press(1) == press(1, 1) == "Main")
    desk.x("xdotool", "windowminimize", "--sync", main)
    check("a left press restores a minimised Main", press(1, covered=False) == "Main")
    desk.stop(desk.wm)
    desk.start_wm()
    check("a restarted tray gets the icon back within a minute of the program's clock", len(rw.wait_for(desk.tray_icons, 2)) == 1)
    check("and it still brings Main up", press(1) == "Main")

    desk.stop(program)
    desk.stop(desk.wm)
    program, main = desk.start_main(env=fast)
    state = desk.x("xprop", "-id", main or 0, "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE") or ""
    check("without a tray Main comes up with its taskbar entry", main and not re.search("SKIP_TASKBAR|_UTILITY", state))
    desk.start_wm()
    check("a tray that comes later gets the icon", rw.wait_for(desk.tray_icons, 5))

    before = sorted((str(p), p.stat().st_mtime) for p in desk.app.rglob("*"))
    check("it raises the running copy's Main", press("start") == "Main")
    check("the running copy goes on with one Main and one icon, and nothing in its folder changed",
          program.poll() is None and len(desk.windows("ポトラ")) == len(desk.tray_icons()) == 1
          and sorted((str(p), p.stat().st_mtime) for p in desk.app.rglob("*")) == before)
    desk.stop(program, signal.SIGKILL)
    check("the killed copy left its lock behind", (desk.app / "potora.lock").exists())
    program, main = desk.start_main()
    check("it raises the new copy's Main", press("start") == "Main")
rw.finish()
