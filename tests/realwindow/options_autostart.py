#!/usr/bin/env python3
"""Registering at log-on from the options window, the entry started as a session
does (gio launch, in its Path), the registration removed, and quitting with status 0,
also with the help viewer open. The folder's name carries characters the entry quotes."""

import os
from pathlib import Path

import rw
from rw import check

rw.need("libglib2.0-bin", "gio")


def options_click(main, *places):
    desk.click(104 + 40, 12, main)  # オプション: 1560, 0 twips
    window = desk.wait_window("オプション")
    for x, y in places:
        desk.click(x, y, window)
    return window


TICK, OK, HELP, QUIT = (20, 52), (168, 124), (68, 84), (150, 20)  # 120,600 1920,1680 120,1080 120,120 twips

with rw.Desktop() as desk:
    # No "%": GLib checks the program's path before it undoes "%%" and refuses
    # such an entry; the unit tests cover the escaping of "%".
    desk.app = desk.app.rename(desk.tmp / 'ポトラ $HOME `id` #1 it\'s "q" a\\b')
    entry = desk.home / ".config/autostart/ポトラ.desktop"
    program, main = desk.start_main()
    options_click(main, TICK, OK)
    check("a message answers the registration; the flag holds 1, the entry is written, the window closed",
          desk.answer_box(main) and desk.value("Timer/startup.txt") == b"1\r\n" and entry.exists() and not desk.windows("オプション"))
    options = options_click(main, HELP, HELP)
    check("one help viewer after two presses", rw.wait_for(lambda: desk.windows("ポトラ ヘルプ"), 10) and len(desk.windows("ポトラ ヘルプ")) == 1)
    desk.click(*QUIT, options)
    check("quitting with the help viewer open exits 0", desk.stop(program, sig=None) == 0)

    desk.logs.append(desk.tmp / "autostart.log")
    desk.spawn("gio", "launch", entry, log=desk.logs[-1])
    main = desk.wait_window("ポトラ")
    pid = (desk.x("xdotool", "getwindowpid", main or 0) or "").strip()
    check("the entry starts the program in its folder", pid and [Path(f"/proc/{pid}/{link}").resolve()
                                                            for link in ("exe", "cwd")] == [desk.app / "potora", desk.app])
    options_click(main, TICK, OK)  # ticked from the flag: cleared
    check("a message answers the removal; the flag holds 0, the entry is gone",
          desk.answer_box(main) and desk.value("Timer/startup.txt") == b"0\r\n" and not entry.exists())
    options_click(main, QUIT)
    check("quitting ends the program and all its windows",
          rw.wait_for(lambda: not os.path.exists(f"/proc/{pid}/exe"), 10) and not desk.windows("ポトラ") and not desk.windows("オプション"))
rw.finish()
