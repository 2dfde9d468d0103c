#!/usr/bin/env python3
"""Registering at log-on from the options window, then starting the program as
a session's autostart does (GLib's launcher runs the entry's Exec in its
Path), removing the registration, and quitting from the options window with
status 0, also while the help viewer is open. The program folder's name
carries the characters the entry has to quote."""

import os
import sys
from pathlib import Path

import rw
from rw import check

rw.need("libglib2.0-bin", "gio")


def open_options(main):
    desk.click_in(main, 104 + 40, 12)  # オプション: 1560, 0 twips
    return desk.wait_window("オプション")


def running_copy():
    """The process id of the program now running from the folder, if any."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.readlink(f"/proc/{pid}/exe") == str(desk.app / "potora"):
                return pid
        except OSError:
            pass
    return None


with rw.Desktop(sys.argv[1]) as desk:
    # No "%": GLib checks the program's path before it undoes "%%", so it
    # refuses such an entry; the unit tests cover the escaping of "%".
    tricky = desk.tmp / 'ポトラ $HOME `id` #1 it\'s "q" a\\b'
    desk.app = desk.app.rename(tricky)
    entry = desk.home / ".config/autostart/ポトラ.desktop"

    program = desk.start()
    main = desk.wait_window("ポトラ")
    options = open_options(main)
    check("the options window is 4680 x 2070 twips", options and desk.geometry(options)[2:] == (312, 138))
    desk.click_in(options, 20, 52)    # スタートアップに登録: 120, 600 twips
    desk.click_in(options, 168, 124)  # OK: 1920, 1680 twips
    check("a message answers the registration", desk.answer_box(main))
    check("the flag holds 1 and the entry is written", desk.value("Timer/startup.txt") == b"1\r\n" and entry.exists())
    check("the options window closed", not desk.windows("オプション"))

    options = open_options(main)
    desk.click_in(options, 68, 84)    # ヘルプを見る: 120, 1080 twips
    check("the help viewer opens", desk.wait_window("ポトラ ヘルプ"))
    desk.click_in(options, 68, 84)
    check("a second press keeps one viewer", len(desk.windows("ポトラ ヘルプ")) == 1)
    desk.screenshot("help")
    desk.click_in(options, 150, 20)   # ポトラの終了: 120, 120 twips
    check("quitting with the help viewer open exits 0", desk.stop(program, sig=None) == 0)

    desk.logs.append(desk.tmp / "autostart.log")
    desk.spawn("gio", "launch", entry, log=desk.logs[-1])
    main = desk.wait_window("ポトラ")
    pid = rw.wait_for(running_copy, 5)
    check("the entry starts the program in its folder", main and pid and Path(f"/proc/{pid}/cwd").resolve() == desk.app)

    options = open_options(main)
    desk.click_in(options, 20, 52)    # ticked from the flag: clear it
    desk.click_in(options, 168, 124)
    check("a message answers the removal", desk.answer_box(main))
    check("the flag holds 0 and the entry is gone", desk.value("Timer/startup.txt") == b"0\r\n" and not entry.exists())
    options = open_options(main)
    desk.click_in(options, 150, 20)
    check("quitting ends the program", rw.wait_for(lambda: not running_copy(), 10))
    check("no window of the program is left", not desk.windows("ポトラ") and not desk.windows("オプション"))
rw.finish()
