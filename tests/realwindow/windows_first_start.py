#!/usr/bin/env python3
"""The Windows build under Wine: a first start laid out as Linux's, Main, the tray, the shortcut, the quit, a log-off."""

import signal
import sys
import time
from pathlib import Path

import rw
from rw import OK, QUIT, REGISTER, check

# windows_first_start.py WINDOWS_FOLDER LINUX_FOLDER
windows, linux = map(Path, sys.argv[1:3])
if not (windows / "ポトラ.exe").is_file():
    rw.skip(f"no Windows build in {windows} (./package-windows.sh)")
prefix = rw.wine_prefix()
USER = prefix / "drive_c/users/山田/AppData"


def files(folder):
    """The value files: what the program wrote, not the icons the folder ships with."""
    return {str(p.relative_to(folder)): p.read_bytes() for sub in ("set", "Timer") for p in sorted((folder / sub).iterdir())
            if not p.name.startswith("icon.")}


def first_start(desk, which):
    """The program started from / with Main up; its 41 value files."""
    started = time.monotonic()
    program, main = desk.start_main()
    check(f"the {which} build's first start: Main after {(time.monotonic() - started) * 1000:.0f} ms", main)
    rw.wait_for(lambda: len(files(desk.app)) == 41, 5)
    return program, main, files(desk.app)


reference = None
if (linux / "potora").is_file():
    with rw.Desktop(linux, last=False) as desk:
        program, _, reference = first_start(desk, "Linux")
        desk.stop(program)
else:
    rw.skip(f"no Linux build in {linux} to compare the first start with", now=False)

with rw.Desktop(windows, wine_prefix=prefix, folder="Users/山田/ポトラ") as desk:
    program, main, laid_out = first_start(desk, "Windows")
    check("41 value files laid out", len(laid_out) == 41)
    if reference is not None:
        check("byte for byte as the Linux build lays them out", laid_out == reference)
    # 600 twips at 96 dots per inch: 40 px; no frame of the window manager's around it.
    check("Main borderless at its stored place, 40, 40", main and desk.frame(main)[:2] == desk.geometry(main)[:2] == (40, 40))

    icons = rw.wait_for(desk.tray_icons, 10)
    check("the tray icon docks in the panel's tray", len(icons) == 1)
    other = desk.cover()
    check("another window covers Main", other and not desk.on_top(main))
    if icons:
        desk.x("xdotool", "mousemove", "--window", icons[0], 12, 12, "click", 1)
    # Raised to the top; the focus Windows gives the program whose icon was clicked does not reach X here
    # (icewm keeps it with the window that had it), which only real Windows can show.
    check("a left click on the tray icon brings Main up", rw.wait_for(lambda: desk.stacking()[-1:] == [int(main)], 5))
    desk.uncover()

    check("the options window opens, and a box says the program is registered", desk.options(main, REGISTER, OK) and desk.answer_box(main))
    # What the shortcut holds, tst_windows reads back with lnkinfo.
    check("the startup flag is 1, the shortcut is in the Startup folder", desk.value("Timer/startup.txt") == b"1\r\n"
          and (USER / "Roaming/Microsoft/Windows/Start Menu/Programs/StartUp/ポトラ.lnk").is_file())

    desk.options(main, QUIT)
    check("ポトラの終了 ends the program with status 0", desk.stop(program, sig=None, timeout=15) == 0)
    check("its tray icon goes with it", rw.wait_for(lambda: not desk.tray_icons(), 5))

    program, main = desk.start_main()
    # Under Wine a click on a window without the focus only activates it, and on a busy machine Main may take
    # some clicks to get it; then one more puts the caret into page 1.
    rw.wait_for(lambda: desk.click(300, 300, main) or desk.on_top(main), 15)
    desk.click(300, 300, main)
    desk.key("ctrl+End", *"nokoru")
    check("typed into page 1, saved", rw.wait_for(lambda: desk.value("set/memo.txt") == rw.text_value("nokoru"), 10))
    (desk.app / "set/memo.txt").unlink()
    (desk.app / "set/memo.txt").mkdir()  # nothing can be saved there now
    desk.key("exclam")
    check("a memo that cannot be saved is reported", desk.answer_box(main))
    # wineboot asks every top-level window whether the session may end, as Windows does, and fails when one refuses;
    # then it tells each, and kills (SIGKILL) the program if still there once all have returned from WM_ENDSESSION.
    # Windows too may end it then: the program rescues within the message and leaves its end to Wine, which must kill it.
    check("a log-off is let through", desk.x("/usr/lib/wine/wine64", "wineboot", "--end-session", "--shutdown") is not None)
    check("Wine kills the program once its windows have answered WM_ENDSESSION", desk.stop(program, sig=None, timeout=15) == -signal.SIGKILL)
    rescued = [p.read_bytes() for p in (USER / "Local/potora").glob("memo *.txt")]
    notice = USER / "Local/potora/notice.txt"
    check(f"the memo is rescued to %LOCALAPPDATA%\\potora, to be told at the next start: {rescued}",
          rescued == [b"nokoru!"] and "memo " in (notice.read_text(errors="replace") if notice.is_file() else ""))
