#!/usr/bin/env python3
"""On a desktop: the log-on entry started by gio, one tray icon raising Main, one running copy per folder."""

import os
import re
import subprocess
from pathlib import Path

import rw
from rw import OK, QUIT, REGISTER, check

rw.need("libglib2.0-bin", "gio")
SPOTS = [6, 18]  # on the 24 px icon, further apart than a double click's presses may be


def press(*buttons, covered=True):
    """Which of Main and a window covering it is on top after presses on the icon, or after a second start of the
    program ("start"), which must exit 0. Each call presses at the other spot: its first press is no double click."""
    SPOTS.reverse()
    cover = desk.cover() if covered else None
    for button in buttons:
        if button == "start":
            status = subprocess.run([desk.app / "potora"], env=desk.env, cwd="/", timeout=20, capture_output=True).returncode
            check(f"a second start exits 0 ({status})", status == 0)
        else:
            desk.x("xdotool", "mousemove", "--window", desk.tray_icons()[0], SPOTS[0], 12, "click", button)
    if cover:  # the program answers for the clipboard, then the window manager moves the cover: both took the presses
        desk.clipboard(), desk.x("xdotool", "windowmove", "--sync", cover, 1, 1)
    up = "cover" if cover and desk.on_top(cover) else "Main" if rw.wait_for(lambda: desk.on_top(main), 2) else "neither"
    desk.uncover()
    return up


with rw.Desktop() as desk:
    fast = {**desk.faketime(FAKETIME="+0 x30"), "QT_LOGGING_RULES": "potora.timer.debug=true"}  # each minute in 2 s, logged
    # No "%": GLib checks the program's path before it undoes "%%" and refuses
    # such an entry; the unit tests cover the escaping of "%".
    desk.app = desk.app.rename(desk.tmp / 'ポトラ $HOME `id` #1 it\'s "q" a\\b')
    entry = desk.home / ".config/autostart/ポトラ.desktop"
    program, main = desk.start_main()
    desk.options(main, REGISTER, OK)
    check("a message answers the registration; the flag holds 1, the entry is written, the window closed", desk.answer_box(main)
          and desk.value("Timer/startup.txt") == b"1\r\n" and entry.exists() and rw.wait_for(lambda: not desk.windows("オプション"), 5))
    desk.options(main, QUIT)
    check("quitting exits 0", desk.stop(program, sig=None) == 0)

    desk.spawn("gio", "launch", entry, log=desk.tmp / "autostart.log")
    main = desk.wait_window("ポトラ")
    pid = (desk.x("xdotool", "getwindowpid", main or 0) or "").strip()
    check("the entry starts the program in its folder", pid and [Path(f"/proc/{pid}/{link}").resolve()
                                                            for link in ("exe", "cwd")] == [desk.app / "potora", desk.app])
    desk.options(main, QUIT)
    check("quitting ends the program and all its windows",
          rw.wait_for(lambda: not os.path.exists(f"/proc/{pid}/exe"), 10) and not desk.windows("ポトラ") and not desk.windows("オプション"))

    # The tray icon, and single copy.
    program, main = desk.start_main(env=fast)
    check("page 1 typed into and copied: the program answers for the clipboard", desk.copied("x", "x", "ctrl+a", window=main))
    icons = rw.wait_for(desk.tray_icons, 10)
    check("one icon in the tray, named ポトラ", len(icons) == 1 and desk.title(icons[0]) == "ポトラ")
    ticks = rw.wait_for(lambda: program.log.read_text().count("timer: tick") >= 4, 20)  # the 4th after the 3rd's re-add
    check("three minutes' re-adds kept the same single icon", ticks and desk.tray_icons() == icons)
    check("a right and a middle press leave Main covered", press(3) == press(2) == "cover")
    check("a left press raises and activates Main, a double click leaves it up", press(1) == press(1, 1) == "Main")
    desk.x("xdotool", "windowminimize", "--sync", main)
    check("a left press restores a minimised Main", press(1, covered=False) == "Main")
    desk.stop(desk.wm)
    desk.start_wm()
    check("a restarted tray gets the icon back within a minute of the program's clock", len(rw.wait_for(desk.tray_icons, 2)) == 1)
    check("and it still brings Main up", press(1) == "Main")
    before = sorted((str(p), p.stat().st_mtime) for p in desk.app.rglob("*"))
    check("a second start raises the running copy's Main", press("start") == "Main")
    check("the running copy goes on with one Main and one icon, and nothing in its folder changed",
          program.poll() is None and len(desk.windows("ポトラ")) == len(desk.tray_icons()) == 1
          and sorted((str(p), p.stat().st_mtime) for p in desk.app.rglob("*")) == before)

    desk.stop(program)
    desk.stop(desk.wm)
    program, main = desk.start_main(env=fast)
    state = desk.x("xprop", "-id", main or 0, "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE") or ""
    check("without a tray Main comes up with its taskbar entry", main and not re.search("SKIP_TASKBAR|_UTILITY", state))
    desk.start_wm()
    check("a tray that comes later gets the icon", rw.wait_for(desk.tray_icons, 5))
