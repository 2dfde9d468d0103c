#!/usr/bin/env python3
"""The tray icon sits in icewm's tray, stays one icon through the minute's
re-adds and a restart of the tray, and brings Main up on a left press only;
Alt+F4 leaves Main open; without a tray Main still comes up, keeps its
taskbar entry, and a tray that comes later gets the icon."""

import re
import sys
import time

import rw
from rw import check

with rw.Desktop(sys.argv[1]) as desk:
    # Thirty times as fast: the minute's start-up step, which re-adds the
    # icon, comes every two seconds.
    fast = desk.faketime(FAKETIME="+0 x30")
    program = desk.start(env=fast)
    main = desk.wait_window("ポトラ")
    icons = rw.wait_for(desk.tray_icons, 10)
    check("one icon in the tray, named ポトラ", len(icons) == 1 and desk.title(icons[0]) == "ポトラ")
    time.sleep(6)
    check("three minutes' re-adds kept the same single icon", desk.tray_icons() == icons)

    def press(*buttons, cover=True):
        covering = desk.cover() if cover else None
        for button in buttons:
            desk.x("xdotool", "mousemove", "--window", desk.tray_icons()[0], 12, 12, "click", button)
            time.sleep(0.4)
        time.sleep(0.3)
        return covering

    for button, name in ((3, "right"), (2, "middle")):
        covering = press(button)
        check(f"a {name} press leaves Main covered", desk.on_top(covering))
        desk.uncover()
    press(1)
    check("a left press raises and activates Main", desk.on_top(main))
    desk.uncover()
    press(1, 1)
    check("a double click leaves Main up", desk.on_top(main) and desk.viewable(main))
    desk.uncover()
    desk.x("xdotool", "windowminimize", "--sync", main)
    press(1, cover=False)
    check("a left press restores a minimised Main", desk.viewable(main) and desk.on_top(main))
    desk.key("alt+F4", window=main)
    time.sleep(0.7)
    check("Alt+F4 leaves Main open, says nothing, keeps the icon",
          desk.viewable(main) and desk.windows("ポトラ") == [main] and desk.tray_icons() == icons)

    desk.stop_wm()
    desk.start_wm()
    check("a restarted tray gets the one icon back within a minute of the program's clock",
          len(rw.wait_for(desk.tray_icons, 2)) == 1)
    press(1)
    check("and the icon still brings Main up", desk.on_top(main))
    desk.uncover()

    desk.stop(program)
    desk.stop_wm()
    desk.start(env=fast)
    main = desk.wait_window("ポトラ", 5)
    state = desk.x("xprop", "-id", main or "0", "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE") or ""
    check("without a tray Main comes up and keeps its taskbar entry",
          main and not re.search("SKIP_TASKBAR|_NET_WM_WINDOW_TYPE_UTILITY", state))
    desk.start_wm()
    check("a tray that comes later gets the icon", rw.wait_for(desk.tray_icons, 5))
rw.finish()
