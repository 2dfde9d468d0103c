#!/usr/bin/env python3
"""One icon in icewm's tray through the minute's re-adds and a tray restart, Main up
on a left press only; without a tray Main keeps its taskbar entry, and a tray that
comes later gets the icon."""

import re
import time

import rw
from rw import check


def press(*buttons, covered=True):
    """Which of Main and the window covering it is on top after presses on the icon."""
    cover = desk.cover() if covered else None
    for button in buttons:
        desk.x("xdotool", "mousemove", "--window", desk.tray_icons()[0], 12, 12, "click", button)
        time.sleep(0.4)
    time.sleep(0.3)
    on_top = "cover" if cover and desk.on_top(cover) else "Main" if desk.on_top(main) else "neither"
    desk.uncover()
    return on_top


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
    _, main = desk.start_main(env=fast)
    state = desk.x("xprop", "-id", main or 0, "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE") or ""
    check("without a tray Main comes up with its taskbar entry", main and not re.search("SKIP_TASKBAR|_UTILITY", state))
    desk.start_wm()
    check("a tray that comes later gets the icon", rw.wait_for(desk.tray_icons, 5))
rw.finish()
