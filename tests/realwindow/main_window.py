#!/usr/bin/env python3
"""Main maps borderless at its stored geometry; typing lands in the memo files
with the one-step backup, also through a real input method (IBus with Anthy);
a page switch survives a restart; a save that fails (a memo file in the way,
a full disk) loses nothing, not even when the program is ended by SIGTERM as
at a log-off."""

import os
import shutil
import signal
import subprocess
import sys
import time

import rw
from rw import check, text_value

PAGE_BOX = (300, 300)       # Main at 100,50; the page box lies below a band of 140 px
CANCEL = (100 + 40, 50 + 44)  # キャンセル: 0, 480 twips


def input_method(desk):
    """A session bus and IBus with the Anthy engine; the program's
    environment for it, or None where they are not installed."""
    if not (shutil.which("ibus-daemon") and os.path.exists("/usr/share/ibus/component/anthy.xml")
            and shutil.which("dbus-daemon")):
        print("skip: typing through an input method needs ibus ibus-anthy dbus-x11 (scripts/deps.sh --test)")
        return None
    bus = desk.tmp / "bus"
    desk.spawn("dbus-daemon", "--session", "--nofork", "--address=unix:path=" + str(bus))
    rw.wait_for(bus.exists, 5)
    desk.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + str(bus)
    # The Anthy engine is a Python program that needs Debian's own Python.
    ibus_env = {**desk.env, "PATH": "/usr/bin:" + desk.env["PATH"]}
    desk.spawn("ibus-daemon", "-rx", "--panel", "disable", "--cache=refresh", env=ibus_env, log=desk.tmp / "ibus.log")
    if not check("IBus lists Anthy", rw.wait_for(lambda: "anthy" in desk.x("ibus", "list-engine"), 20)):
        return None
    return {"QT_IM_MODULE": "ibus"}


def type_japanese(desk):
    desk.click(*PAGE_BOX)
    desk.key("ctrl+End")
    subprocess.run(["ibus", "engine", "anthy"], env=desk.env, stderr=subprocess.DEVNULL)
    check("IBus runs Anthy", desk.x("ibus", "engine").strip() == "anthy")
    desk.key("ctrl+j")  # Anthy's hiragana input
    desk.type("kaigi")
    desk.key("space")   # converted to 会議, not yet committed
    check("composing writes nothing", desk.value("set/memo7X.txt") == text_value(""))
    desk.key("Return")  # committed
    check("the committed word is one change",
          (desk.value("set/memo7.txt"), desk.value("set/memo7X.txt")) == (text_value("予定：会議"), text_value("予定：")))
    desk.type("yotei")
    desk.key("Escape", "Escape")  # a composition given up
    check("a composition given up writes nothing", desk.value("set/memo7X.txt") == text_value("予定："))
    desk.click(*CANCEL)
    check("キャンセル takes the word back, and keeps it for the next press",
          (desk.value("set/memo7.txt"), desk.value("set/memo7X.txt")) == (text_value("予定："), text_value("予定：会議")))
    subprocess.run(["ibus", "engine", "xkb:us::eng"], env=desk.env, stderr=subprocess.DEVNULL)


def full_disk(desk):
    """set/ on a small file system of its own, filled up under a memo of
    exactly one page, so that one more character needs a second."""
    if os.geteuid() != 0:
        print("skip: a full disk needs a small tmpfs, which only root can mount")
        return
    saved = desk.tmp / "set-copy"
    shutil.copytree(desk.app / "set", saved)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=512k", "tmpfs", str(desk.app / "set")], check=True)
    desk.mounts.append(str(desk.app / "set"))
    shutil.copytree(saved, desk.app / "set", dirs_exist_ok=True)
    before = text_value("x" * 4092)
    desk.plant("set/memo7.txt", before)
    program = desk.start()
    main = desk.wait_window("ポトラ")
    desk.click(*PAGE_BOX)
    desk.key("ctrl+End")
    subprocess.run(["dd", "if=/dev/zero", f"of={desk.app}/set/filler", "bs=4096"], stderr=subprocess.DEVNULL)
    desk.type("y")
    check("a full disk is reported", desk.answer_box(main))
    check("the memo file is whole, as before", desk.value("set/memo7.txt") == before)
    check("no temporary file is left", not list((desk.app / "set").glob("*.potora-tmp")))
    (desk.app / "set/filler").unlink()
    desk.click(*PAGE_BOX)
    desk.key("ctrl+End")
    desk.type("z")
    check("with room again the whole text is saved", desk.value("set/memo7.txt") == text_value("x" * 4092 + "yz"))
    desk.stop(program)


with rw.Desktop(sys.argv[1]) as desk:
    program = desk.start()
    check("a first start maps Main", desk.wait_window("ポトラ"))
    desk.stop(program)
    check("and creates the 41 value files", len(list(desk.app.glob("set/*.txt")) + list(desk.app.glob("Timer/*.txt"))) == 41)
    for name, twips in (("Left", 1500), ("Top", 750), ("Width", 7500), ("Height", 6000)):
        desk.plant(f"set/{name}.txt", text_value(str(twips)))
    desk.plant("set/Change.txt", b"3\r\n")

    program = desk.start()
    main = desk.wait_window("ポトラ")
    time.sleep(0.5)
    check("Main at 100,50 500x400 without a frame", desk.geometry(main) == (100, 50, 500, 400))
    desk.click(*PAGE_BOX)
    desk.type("abc")
    check("page 3 holds abc, its backup ab",
          (desk.value("set/memo3.txt"), desk.value("set/memo3X.txt")) == (text_value("abc"), text_value("ab")))
    desk.click(100 + 344 + 12, 50 + 32 + 12)  # page button 7: 5160, 480 twips
    check("page 7 is stored", desk.value("set/Change.txt") == b"7\r\n")
    desk.screenshot("main")
    desk.stop(program)

    desk.plant("set/memo7.txt", text_value("予定："))
    ime = input_method(desk)
    program = desk.start(env=ime)
    main = desk.wait_window("ポトラ")
    check("the restart keeps page 3, its backup and page 7",
          (desk.value("set/memo3.txt"), desk.value("set/memo3X.txt"), desk.value("set/Change.txt"))
          == (text_value("abc"), text_value("ab"), b"7\r\n"))
    if ime:
        type_japanese(desk)

    # A memo file in the way: the text stays on screen, and when the program
    # is ended as at a log-off it goes to a file of the user's own.
    (desk.app / "set/memo7.txt").unlink()
    (desk.app / "set/memo7.txt").mkdir()
    desk.click(*PAGE_BOX)
    desk.key("ctrl+End")
    desk.type("u")
    check("the failed save is reported", desk.answer_box(main))
    desk.click(*PAGE_BOX)
    desk.key("ctrl+End")
    desk.type("nsaved7x")
    check("SIGTERM ends the program with status 0", desk.stop(program, signal.SIGTERM) == 0)
    rescued = list((desk.home / ".local/share/potora").glob("memo7 *.txt"))
    check("the unsaved text is in a rescue file", [f.read_text() for f in rescued] == ["予定：unsaved7x"])
    (desk.app / "set/memo7.txt").rmdir()
    program = desk.start()
    notice = desk.wait_window("ポトラ", 10)
    check("the next start says where the text went, once",
          notice and desk.geometry(notice)[2:] != (500, 400) and not (desk.home / ".local/share/potora/notice.txt").exists())
    desk.key("Return", window=notice)
    check("then Main maps", desk.wait_window("ポトラ", 10, other_than=(notice,)))
    desk.stop(program)

    full_disk(desk)
rw.finish()
