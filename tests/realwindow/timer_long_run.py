#!/usr/bin/env python3
"""Simulated hours at 1200 times speed: every minute checked once, each memo once a day, memory flat (LONG_RUN_HOURS)."""

import datetime as dt
import os
import re
import time

import rw
from rw import check, text_value

RATE, HOURS = 1200, int(os.environ.get("LONG_RUN_HOURS", "20"))
START = dt.datetime(2026, 12, 6, 5, 0)
END = START + dt.timedelta(hours=HOURS, minutes=5)
MEMOS = {1: (6, 30), 2: (12, 0), 3: (0, 0)}


def rss_kb():
    return int(re.search(r"VmRSS:\s+(\d+)", open(f"/proc/{program.pid}/status").read()).group(1))


def trace(event):
    """(memo or None, minute) of each such event the check logged."""
    found = re.findall(rf"^potora.timer: {event} (?:(\d) )?(\S+ \d\d:\d\d)", program.log.read_text(errors="replace"), re.M)
    return [(n and int(n), dt.datetime.fromisoformat(minute)) for n, minute in found]


with rw.Desktop() as desk:
    for n, (hour, minute) in MEMOS.items():
        desk.timer_memo(n, f"memo {n}", f"{hour:02}", f"{minute:02}")
    # Monotonic time runs fast too, so that Qt's timers keep pace with the clock.
    program = desk.start(env={**desk.faketime(FAKETIME=f"@{START:%Y-%m-%d %H:%M:%S} x{RATE}"),
                              "QT_LOGGING_RULES": "potora.timer.debug=true", "QT_MESSAGE_PATTERN": "%{category}: %{message}"})
    main = desk.wait_window("ポトラ", 30)
    other = desk.cover()  # holds the focus: no caret blinks 1200 times fast
    boxes, samples, now = 0, {}, START
    deadline = time.monotonic() + 30 + HOURS * 3600 / RATE * 1.6
    while program.poll() is None and now < END and time.monotonic() < deadline:
        for box in [w for w in desk.windows("ポトラ") if w != main]:
            boxes += 1
            desk.key("Return", window=box)
            rw.wait_for(lambda: box not in desk.windows("ポトラ"), 2, 0.05)
        desk.x("xdotool", "windowactivate", other)
        now = max([m for _, m in trace("checked")], default=START)
        if now >= START.replace(hour=7) and now.hour % 6 == 1:  # after the first box, then every six hours
            samples.setdefault(now.strftime("%d %H:00"), rss_kb())
        time.sleep(0.05)
    final = rss_kb() if program.poll() is None else None
    check(f"the program ran on to {END}", final and now >= END)
    desk.stop(program)

    checked = [m for _, m in trace("checked")]
    gaps = [f"{b} after {a}" for a, b in zip(checked, checked[1:]) if b - a != dt.timedelta(minutes=1)]
    expected = sorted(((n, START.replace(hour=h, minute=m) + dt.timedelta(days=d)) for n, (h, m) in MEMOS.items()
                       for d in (0, 1) if START < START.replace(hour=h, minute=m) + dt.timedelta(days=d) <= END), key=lambda e: e[1])
    ticks = len(trace("tick"))
    print(f"{ticks} refreshes, minutes {checked[0]} to {checked[-1]}, {boxes} boxes; resident memory (kB) {samples}, {final} at the end")
    check(f"a refresh for at least half the minutes ({ticks} of {len(checked)})", ticks >= len(checked) / 2)
    check(f"every minute checked once, in order {gaps[:3]}", checked and not gaps)
    check("each memo announced once a day at its time, a box on screen for each", trace("announced") == expected and boxes == len(expected))
    # AddressSanitizer holds freed memory back: the plain build is measured.
    if not os.environ.get("POTORA_SANITIZED"):
        check("resident memory within 3 MB of its early value", samples and final - min(samples.values()) <= 3072)
    # No sound server runs here: each bell's fall back to the X bell is logged.
    noise = re.findall(r"^(?!potora\.(?:timer|sound): ).+", program.log.read_text(errors="replace"), re.M)
    check(f"nothing else on stderr {noise[:3]}", not noise)
