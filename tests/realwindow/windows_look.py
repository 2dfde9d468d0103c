#!/usr/bin/env python3
"""The Windows build under Wine in Windows' High Contrast Black, then in colours the system changes while it runs:
what it draws on backgrounds of its own reads at 4.5:1; the window buttons' captions at 96 and 144 dots per inch."""

import subprocess
import sys
from pathlib import Path

import rw
from rw import CLOCK, EXTRA, HEADING, PAGE1, check, text_value

# windows_look.py WINDOWS_FOLDER SYSCOLORS_DLL
windows, syscolors = map(Path, sys.argv[1:3])
if not (windows / "ポトラ.exe").is_file():
    rw.skip(f"no Windows build in {windows} (./package-windows.sh)")


def registry(key, **values):
    for name, value in values.items():
        kind = "REG_DWORD" if isinstance(value, int) else "REG_SZ"
        subprocess.run(["/usr/lib/wine/wine64", "reg", "add", "HKCU\\" + key, "/v", name, "/t", kind, "/d", str(value), "/f"],
                       env=desk.env, capture_output=True, check=True)


def colours(window, text, face):
    registry(r"Control Panel\Colors", Window=window, WindowText=text, ButtonFace=face, ButtonText=text)


with rw.Desktop(windows, wine_prefix=rw.wine_prefix(), folder="Users/山田/ポトラ") as desk:
    colours("0 0 0", "255 255 255", "0 0 0")
    desk.plant("set/memo.txt", text_value("ページ1のメモ"))
    program, main = desk.start_main()
    check("Main drawn in High Contrast Black", desk.background(main, EXTRA, (0, 0, 0)))
    desk.readable(main, "page 1 in High Contrast Black", PAGE1)
    desk.readable(main, "the clock in High Contrast Black", CLOCK)
    desk.click(104, 34, main)
    overview = desk.wait_window("タイマーメモ")
    check("the timer memo overview drawn", desk.background(overview, HEADING, (255, 255, 255)))
    desk.readable(overview, "the overview's heading in High Contrast Black", HEADING)

    # As the system's colour settings do it, from inside the program (see syscolors.c).
    colours("255 255 255", "0 0 60", "240 240 240")
    applied = subprocess.run(["/usr/lib/wine/wine64", "rundll32", f"{syscolors},Apply", "ポトラ"], env=desk.env)
    check("navy text on white follows while the program runs", applied.returncode == 0
          and desk.background(main, EXTRA, (255, 255, 255)))
    ink = desk.readable(main, "page 1 in navy text", PAGE1)
    check("page 1 keeps the system's navy, which reads on it", ink[2] > ink[0] + 20)
    desk.readable(main, "the clock in navy text", CLOCK)
    desk.readable(overview, "the overview's heading in navy text", HEADING)
    desk.stop(program)

    colours("255 255 255", "0 0 0", "240 240 240")
    for dpi in (96, 144):
        registry(r"Control Panel\Desktop", LogPixels=dpi)
        program, main = desk.start_main()
        scale = dpi / 96
        check(f"Main drawn at {dpi} dpi", desk.background(main, tuple(round(v * scale) for v in EXTRA), (255, 255, 255)))
        desk.captions_clear(main, scale)
        desk.stop(program)
