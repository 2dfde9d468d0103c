#!/usr/bin/env python3
"""Main borderless at its stored geometry, typed into through X and a real input
method (IBus with Anthy); saves that fail (a file in the way, SIGTERM as at a
log-off, a full disk) lose nothing."""

import os
import shutil
import subprocess

import rw
from rw import check, text_value

PAGE_BOX, CANCEL = (300, 300), (140, 94)  # Main at 100,50: below the 140 px band; キャンセル at 0,480 twips


def memo7():
    return desk.value("set/memo7.txt"), desk.value("set/memo7X.txt")


def type_in_page(text):
    desk.click(*PAGE_BOX)
    desk.key("ctrl+End", *text)


def input_method():
    """IBus with Anthy on a session bus of its own; the program's environment."""
    if not os.path.exists("/usr/share/ibus/component/anthy.xml") or not shutil.which("dbus-daemon"):
        print("skip: typing through an input method needs ibus ibus-anthy dbus-x11 (scripts/deps.sh --test)")
        return {}
    desk.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + str(desk.tmp / "bus")
    desk.spawn("dbus-daemon", "--session", "--nofork", "--address=" + desk.env["DBUS_SESSION_BUS_ADDRESS"])
    rw.wait_for((desk.tmp / "bus").exists, 5)
    # The Anthy engine is a Python program that needs Debian's own Python.
    desk.spawn("ibus-daemon", "-rx", "--panel", "disable", "--cache=refresh", env={**desk.env, "PATH": "/usr/bin:" + desk.env["PATH"]})
    check("IBus lists Anthy", rw.wait_for(lambda: "anthy" in (desk.x("ibus", "list-engine") or ""), 20))
    return {"QT_IM_MODULE": "ibus"}


def type_japanese():
    type_in_page("")
    desk.x("ibus", "engine", "anthy")
    desk.key("ctrl+j", *"kaigi", "space")  # hiragana; 会議, not yet committed
    check("composing writes nothing", memo7()[1] == text_value(""))
    desk.key("Return")
    check("the committed word is one change", memo7() == (text_value("予定：会議"), text_value("予定：")))
    desk.key(*"yotei", "Escape", "Escape")
    check("a composition given up writes nothing", memo7()[1] == text_value("予定："))
    desk.click(*CANCEL)
    check("キャンセル takes the word back, keeping it for the next press", memo7() == (text_value("予定："), text_value("予定：会議")))
    desk.x("ibus", "engine", "xkb:us::eng")


def full_disk():
    """set/ on a small tmpfs filled up under a memo of one page, so that one more character needs a second."""
    if os.geteuid() != 0:
        return print("skip: a full disk needs a small tmpfs, which only root can mount")
    shutil.copytree(desk.app / "set", desk.tmp / "set")
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=512k", "tmpfs", desk.app / "set"], check=True)
    desk.mounts.append(desk.app / "set")
    shutil.copytree(desk.tmp / "set", desk.app / "set", dirs_exist_ok=True)
    desk.plant("set/memo7.txt", text_value("x" * 4092))
    program, main = desk.start_main()
    desk.click(*PAGE_BOX)
    subprocess.run(["dd", "if=/dev/zero", f"of={desk.app}/set/filler", "bs=4096"], stderr=subprocess.DEVNULL)
    type_in_page("y")
    check("a full disk is reported", desk.answer_box(main))
    check("the memo file is whole, and no temporary file is left",
          memo7()[0] == text_value("x" * 4092) and not list(desk.app.glob("set/*.potora-tmp")))
    (desk.app / "set/filler").unlink()
    type_in_page("z")
    check("with room again the whole text is saved", memo7()[0] == text_value("x" * 4092 + "yz"))
    desk.stop(program)


with rw.Desktop() as desk:
    desk.place_main()
    desk.plant("set/Change.txt", b"3\r\n")
    program, main = desk.start_main()
    check("Main at 100,50 500x400 without a frame", rw.wait_for(lambda: desk.geometry(main) == (100, 50, 500, 400), 2))
    type_in_page("abc")
    desk.click(100 + 344 + 12, 50 + 32 + 12)  # page button 7: 5160, 480 twips
    desk.stop(program)
    desk.plant("set/memo7.txt", text_value("予定："))
    ime = input_method()
    program, main = desk.start_main(env=ime)
    check("page 3's abc with its backup ab, and page 7 shown, stay over a restart",
          [desk.value(f"set/{n}.txt") for n in ("memo3", "memo3X", "Change")] == [text_value("abc"), text_value("ab"), b"7\r\n"])
    if ime:
        type_japanese()

    # A file in the way: the text stays on screen, and SIGTERM as at a log-off puts it in a file of the user's own.
    (desk.app / "set/memo7.txt").unlink()
    (desk.app / "set/memo7.txt").mkdir()
    type_in_page("u")
    check("the failed save is reported", desk.answer_box(main))
    type_in_page("nsaved7x")
    check("SIGTERM ends the program with status 0", desk.stop(program) == 0)
    rescued = list((desk.home / ".local/share/potora").glob("memo7 *.txt"))
    check("the unsaved text is in a rescue file", [f.read_text() for f in rescued] == ["予定：unsaved7x"])
    (desk.app / "set/memo7.txt").rmdir()
    program, notice = desk.start_main()
    check("the next start says where the text went, once",
          notice and desk.geometry(notice)[2:] != (500, 400) and not (desk.home / ".local/share/potora/notice.txt").exists())
    desk.key("Return", window=notice)
    check("then Main maps", desk.wait_window("ポトラ", 10, other_than=(notice,)))
    desk.stop(program)
    full_disk()
rw.finish()
