#!/usr/bin/env python3
"""Hours of the wall clock run 1200 times as fast: Main refreshes every minute
with the three timer memos on; every minute is checked once and in order, each
memo pops up once a day at its time and its box is answered on screen, and the
resident memory does not grow with the refreshes. The check's log category
potora.timer says what it does. LONG_RUN_HOURS sets the length (20 by
default; 31 for the full proof)."""

import datetime as dt
import os
import re
import sys
import time

import rw
from rw import check, text_value

RATE = 1200
HOURS = int(os.environ.get("LONG_RUN_HOURS", "20"))
START = dt.datetime(2026, 12, 6, 5, 0)
END = START + dt.timedelta(hours=HOURS, minutes=5)
MEMOS = {1: (6, 30), 2: (12, 0), 3: (0, 0)}
RSS_SLACK_KB = 3072


def minute_of(day, clock):
    return dt.datetime.fromisoformat(f"{day} {clock}")


def rss_kb(pid):
    found = re.search(r"VmRSS:\s+(\d+)", open(f"/proc/{pid}/status").read())
    return int(found.group(1))


with rw.Desktop(sys.argv[1]) as desk:
    for n, (hour, minute) in MEMOS.items():
        for suffix, value in (("", text_value(f"memo {n}")), ("-2", text_value(f"{hour:02}")),
                              ("-3", text_value(f"{minute:02}"))):
            desk.plant(f"Timer/memo{n}{suffix}.txt", value)
        desk.plant(f"Timer/true{n}.txt", b"1\r\n")
    # Monotonic time runs fast too, so that Qt's timers keep pace with the clock.
    program = desk.start(env={**desk.faketime(FAKETIME=f"@{START:%Y-%m-%d %H:%M:%S} x{RATE}"),
                              "QT_LOGGING_RULES": "potora.timer.debug=true",
                              "QT_MESSAGE_PATTERN": "%{category}: %{message}"})
    main = desk.wait_window("ポトラ", 30)
    # Another window holds the focus, so that no caret blinks 1200 times fast.
    desk.spawn("xmessage", "-name", "other", "-title", "other", "other")
    other = desk.wait_window("other")
    desk.x("xdotool", "windowactivate", other)

    def trace():
        lines = program.log.read_text(errors="replace").splitlines()
        return [line.split(": ", 1)[1].split() for line in lines if line.startswith("potora.timer: ")]

    boxes, samples, deadline = 0, [], time.monotonic() + 30 + HOURS * 3600 / RATE * 1.6
    while program.poll() is None and time.monotonic() < deadline:
        box = [w for w in desk.windows("ポトラ") if w != main]
        if box:
            boxes += 1
            desk.key("Return", window=box[0])
            rw.wait_for(lambda: box[0] not in desk.windows("ポトラ"), 2, 0.05)
            desk.x("xdotool", "windowactivate", other)
        checked = [minute_of(*t[1:3]) for t in trace() if t[0] == "checked"]
        now = checked[-1] if checked else START
        # A reading at 07:00 after the first box, then every six hours.
        if now >= START.replace(hour=7) and now.hour % 6 == 1 and (now.date(), now.hour) not in [s[0] for s in samples]:
            samples.append(((now.date(), now.hour), rss_kb(program.pid)))
        if now >= END:
            break
        time.sleep(0.05)
    check(f"the program ran on to {END}", program.poll() is None and now >= END)
    final_rss = rss_kb(program.pid) if program.poll() is None else None
    desk.stop(program)

    events = trace()
    ticks = sum(1 for t in events if t[0] == "tick")
    checked = [minute_of(*t[1:3]) for t in events if t[0] == "checked"]
    gaps = [f"{b} after {a}" for a, b in zip(checked, checked[1:]) if b - a != dt.timedelta(minutes=1)]
    announced = [(int(t[1]), minute_of(*t[2:4])) for t in events if t[0] == "announced"]
    expected = sorted(((n, minute_of(day, f"{h:02}:{m:02}")) for n, (h, m) in MEMOS.items()
                       for day in (START.date(), (START + dt.timedelta(days=1)).date())
                       if START < minute_of(day, f"{h:02}:{m:02}") <= END), key=lambda e: e[1])
    print(f"minute refreshes {ticks}; minutes checked {len(checked)}, from {checked[0]} to {checked[-1]}; "
          f"boxes answered {boxes}; resident memory " + ", ".join(f"{kb} kB at {d} {h:02}:00" for (d, h), kb in samples)
          + f", {final_rss} kB at the end")
    check(f"a refresh for at least half the minutes ({ticks})", ticks >= len(checked) * 0.5)
    check(f"every minute checked once, in order ({gaps[:3]})", checked and not gaps)
    check("each memo announced once a day at its time (" + ", ".join(f"{n} at {t}" for n, t in announced) + ")",
          announced == expected)
    check(f"a box on screen for every announcement ({boxes})", boxes == len(announced))
    if os.environ.get("POTORA_SANITIZED"):
        # AddressSanitizer holds freed memory back, so resident memory says
        # nothing about growth there; the plain build is measured.
        print("resident memory not judged in a sanitizer build")
    else:
        check(f"resident memory within {RSS_SLACK_KB} kB of its early value",
              samples and final_rss and final_rss - samples[0][1] <= RSS_SLACK_KB)
    # No sound server runs here: each bell's fall back to the X bell is logged.
    noise = [l for l in program.log.read_text(errors="replace").splitlines()
             if not l.startswith(("potora.timer: ", "potora.sound: "))]
    check(f"nothing else on stderr {noise[:3]}", not noise)
rw.finish()
