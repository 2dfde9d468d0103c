#!/usr/bin/env python3
"""Memo boxes: the start-up memo before Main; a timer memo on time after a clock step, on top, as typed; SIGTERM."""

import rw
from rw import check, text_value

LINE1 = "<b>お茶</b>の時間です"


def copied(box, text):
    """Whether the box's first line, selected by a triple click, copies as the text."""
    _, _, w, h = desk.geometry(box)
    desk.click(w // 2, h // 5, box, repeat=3)
    return desk.copied(text)


with rw.Desktop() as desk:
    desk.plant("Timer/memo4.txt", text_value("朝会"))
    desk.timer_memo(1, LINE1 + "\n2行目: a<b", "07", "06")
    # Eight hours fast, set right once Main is up as time sync does after a boot
    # with a wrong hardware clock: the minute's check ten seconds on is at 07:06.
    clock = desk.tmp / "clock"
    clock.write_text("@2026-12-07 15:05:50\n")
    clocked = desk.faketime(FAKETIME_TIMESTAMP_FILE=str(clock), FAKETIME_NO_CACHE="1", FAKETIME_DONT_FAKE_MONOTONIC="1")
    program, box = desk.start_main(clocked)
    check("the start-up memo comes in a small box before Main",
          box and copied(box, "朝会") and desk.windows("ポトラ") == [box] and desk.geometry(box)[2] < 300)
    desk.key("Return", window=box)
    main = desk.wait_window("ポトラ", 5, other_than=(box,))
    clock.write_text("@2026-12-07 07:05:50\n")
    other = desk.cover()

    box = desk.wait_window("ポトラ", 20, other_than=(main,))
    check("a timer memo comes up at 07:06 after the clock was set back", box)
    above = rw.wait_for(lambda: "_NET_WM_STATE_ABOVE" in (desk.x("xprop", "-id", box, "_NET_WM_STATE") or ""), 5)
    desk.x("xdotool", "windowraise", other, "windowactivate", "--sync", other)  # the raise is through once the activation is
    order = [w for w in desk.stacking() if w in (int(main), int(other or 0), int(box))]
    check("the box asks to stay above, and stays above Main and a window raised after it", above and len(order) == 3 and order[-1] == int(box))
    desk.uncover()
    typed = copied(box, LINE1)
    check(f"the box shows the memo as typed ({desk.clipboard()})", typed)
    desk.key("Return", window=box)
    check("OK closes it; the start-up memo did not come again", rw.wait_for(lambda: desk.windows("ポトラ") == [main], 3))
    check("the memo windows loaded in the background are not on screen", not desk.windows("起動時メモ") + desk.windows("タイマーメモ"))
    check("SIGTERM ends the run", desk.stop(program, timeout=2) == 0)

    # As a log-off without a session manager: the start-up memo's box comes before the run's own event loop.
    desk.timer_memo(1, LINE1, "07", "07")
    for whose, start_up_memo in (("the start-up memo's", "朝会"), ("a timer memo's", "")):
        desk.plant("Timer/memo4.txt", text_value(start_up_memo))
        clock.write_text("@2026-12-07 07:06:56\n")
        program, first = desk.start_main(clocked)
        box = first if start_up_memo else desk.wait_window("ポトラ", 10, other_than=(first,))
        check(f"SIGTERM while {whose} box is up ends the run within two seconds",
              box and copied(box, start_up_memo or LINE1) and desk.geometry(box)[2] < 300 and desk.stop(program, timeout=2) == 0)
