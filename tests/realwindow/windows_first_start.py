#!/usr/bin/env python3
"""The Windows build under Wine: a first start laid out as Linux's, Main, the tray, the shortcut, the quit, a log-off."""

import atexit
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import rw
from rw import check

rw.need("liblnk-utils", "lnkinfo")
windows = Path(sys.argv[1])
linux = Path(sys.argv[2]) if len(sys.argv) > 2 else None
end_session = Path(sys.argv[3]) if len(sys.argv) > 3 else None
if linux and not (linux / "potora").is_file():
    print(f"note: no Linux build in {linux} to compare the first start with")
    linux = None
if not (windows / "ポトラ.exe").is_file():
    rw.skip(f"no Windows build in {windows} (./package-windows.sh)")
prefix = Path(tempfile.mkdtemp()) / "wine-prefix"
atexit.register(shutil.rmtree, prefix.parent, True)
made = subprocess.run(["bash", Path(__file__).parent.parent / "windows/wine.sh", prefix], capture_output=True, text=True)
if made.returncode != 0:
    sys.exit("no Wine prefix: " + made.stdout + made.stderr)
STARTUP = prefix / "drive_c/users/山田/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp"
RESCUE = prefix / "drive_c/users/山田/AppData/Local/potora"


def files(folder):
    """The value files: what the program wrote, not the icons the folder ships with."""
    return {str(p.relative_to(folder)): p.read_bytes() for sub in ("set", "Timer") for p in sorted((folder / sub).iterdir())
            if not p.name.startswith("icon.")}


def first_start(desk):
    """The program started from / with its first window up: the process, Main, milliseconds to it."""
    started = time.monotonic()
    program, main = desk.start_main()
    return program, main, (time.monotonic() - started) * 1000


def lnk_fields(path):
    text = subprocess.run(["lnkinfo", "-c", "windows-932", str(path)], text=True, capture_output=True).stdout
    return dict(re.findall(r"^\t(\w[\w ]*?)\s*: (.*)$", text, re.M))


def windows_path(desk, path):
    return desk.x("/usr/lib/wine/wine64", "winepath", "-w", path).strip()


reference = None
if linux:
    with rw.Desktop(linux) as desk:
        program, main, took = first_start(desk)
        check(f"the Linux build's first start: Main after {took:.0f} ms", main)
        rw.wait_for(lambda: len(files(desk.app)) == 41, 5)
        reference = files(desk.app)
        desk.stop(program)

with rw.Desktop(windows, wine_prefix=prefix, folder="Users/山田/ポトラ") as desk:
    program, main, took = first_start(desk)
    check(f"the Windows build's first start under Wine: Main after {took:.0f} ms", main)
    rw.wait_for(lambda: len(files(desk.app)) == 41, 5)
    laid_out = files(desk.app)
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

    def options():
        desk.click(144, 12, main)  # オプション: 2175, 0 twips; its middle
        return desk.wait_window("オプション")

    window = options()
    check("the options window opens", window)
    desk.click(20, 48, window)   # スタートアップに登録: 120, 600 twips
    desk.click(168, 124, window)  # OK: 1920, 1680 twips
    box = desk.wait_window("ポトラ", 10, other_than=(main,))
    check("a box says it is registered", box)
    desk.key("Return", window=box)
    fields = lnk_fields(STARTUP / "ポトラ.lnk")
    folder = windows_path(desk, desk.app)
    check(f"the shortcut starts ポトラ.exe in the data folder with its icon: {fields}",
          fields.get("Local path") == folder + "\\ポトラ.exe" and fields.get("Working directory") == folder
          and fields.get("Icon location") == folder + "\\set\\icon.ico")
    check("the startup flag is 1", desk.value("Timer/startup.txt") == b"1\r\n")
    shot = Path(sys.argv[1]).parent / "windows-under-wine.png"
    desk.x("import", "-window", "root", shot)

    window = options()
    desk.click(150, 14, window)  # ポトラの終了: 120, 120 twips
    check("ポトラの終了 ends the program with status 0", desk.stop(program, sig=None, timeout=15) == 0)
    check("its tray icon goes with it", rw.wait_for(lambda: not desk.tray_icons(), 5))

    if end_session and end_session.is_file():
        program, main = desk.start_main()
        desk.click(300, 300, main)  # under Wine the first click only activates Main
        desk.click(300, 300, main)
        desk.key("ctrl+End", *"nokoru")
        check("typed into page 1, saved", rw.wait_for(lambda: desk.value("set/memo.txt") == rw.text_value("nokoru"), 5))
        (desk.app / "set/memo.txt").unlink()
        (desk.app / "set/memo.txt").mkdir()  # nothing can be saved there now
        desk.key("exclam")
        box = desk.wait_window("ポトラ", 10, other_than=(main,))
        check("a memo that cannot be saved is reported", box)
        desk.key("Return", window=box)
        ended = desk.x("/usr/lib/wine/wine64", end_session, "ポトラ") or ""
        check(f"a log-off asks and tells each of its windows: {ended.strip()}", "all let the session end" in ended)
        check("the log-off ends the program with status 0", desk.stop(program, sig=None, timeout=15) == 0)
        rescued = [p.read_bytes() for p in RESCUE.glob("memo *.txt")]
        notice = (RESCUE / "notice.txt").read_text(errors="replace") if (RESCUE / "notice.txt").is_file() else ""
        check(f"the memo is rescued to %LOCALAPPDATA%\\potora, to be told at the next start: {rescued}",
              rescued == [b"nokoru!"] and "memo " in notice)
rw.finish()
