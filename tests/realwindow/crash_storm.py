#!/usr/bin/env python3
"""SIGKILL while memos are typed into, on fast and slow disks: every file whole, each memo and backup a pair once on screen."""

import os
import random
import re
import signal
import subprocess
import threading
import time

import rw
from rw import check

ROUNDS = int(os.environ.get("CRASH_ROUNDS", "30"))  # 80 for the full proof
SEED = int(os.environ.get("CRASH_SEED", "2"))  # one plan each run: of 30 rounds, 6 killed at start, some 5 to the big page
MEMOS = ["set/memo.txt"] + [f"set/memo{n}.txt" for n in range(2, 12)]
BACKUPS = [m.replace(".txt", "X.txt") for m in MEMOS]
INTEGERS = ["set/Change.txt", "Timer/true1.txt", "Timer/true2.txt", "Timer/true3.txt", "Timer/startup.txt"]
TEXTS = MEMOS + BACKUPS + [f"set/{n}.txt" for n in ("Left", "Top", "Width", "Height")] + ["Timer/memo4.txt"]
TEXTS += [f"Timer/memo{n}{s}.txt" for n in (1, 2, 3) for s in ("", "-2", "-3")]
PAGE_BUTTONS = {p: (312 + 32 * ((p - 1) % 5), 32 * ((p - 1) // 5)) for p in range(1, 11)}
BOXES, BIG_PAGE = (200, 86), 2  # the page box and the extra memo, below Main's top


class Failure(Exception):
    pass


def expect(ok, what):
    if not ok:  # the storm ends at the first fault: later rounds would only repeat it
        raise Failure(what)


def parse(rel):
    """The value a file holds, read by its byte form alone."""
    data, integer = desk.value(rel) or b"", rel in INTEGERS
    whole = re.fullmatch(rb"-?[0-9]+\r\n" if integer else rb'(\xef\xbb\xbf)?"(.*)"\r\n', data, re.S)
    expect(whole, f"{rel} is not a whole {'integer' if integer else 'text'} item ({len(data)} bytes): {data!r:.60}")
    return data[:-2].decode() if integer else whole[2].decode("utf-8" if whole[1] else "cp932").replace("\r\n", "\n")


class History:
    """A memo's texts: states[lo] the newest known on disk, every later one a keystroke sent after it."""

    def __init__(self, backup, text):
        self.states, self.lo = [backup, text], 1

    def apply(self, key):
        text = self.states[-1]
        if key != "BackSpace" or text:  # nothing to take away: no change, no write
            self.states.append(text[:-1] if key == "BackSpace" else text + {"Return": "\n", "space": " "}.get(key, key))

    def find(self, text, what):
        found = [i for i in range(len(self.states) - 1, self.lo - 1, -1) if self.states[i] == text]
        expect(found, f"{what} holds a text that was not on screen at that point: {text[-20:]!r}")
        return found


def wait_main(program):
    main = rw.wait_for(lambda: program.poll() is not None or desk.windows("ポトラ"), 20)
    expect(program.poll() is None, f"the program ended at start with status {program.returncode}")
    # A message box carries the same title; Main has its stored width.
    expect(main and desk.geometry(main[0])[2] == round(float(parse("set/Width.txt")) / 15),
           "a window other than Main came up at start: a message box?")
    return desk.geometry(main[0])


def check_folder(memos, page):
    for rel in (p.relative_to(desk.app).as_posix() for p in desk.app.glob("*/*")):
        # A replace cut short leaves its temporary file; the next start removes it (checked at the end).
        expect(rel in ("set/icon.ico", "set/icon.png") or rel.removesuffix(".potora-tmp") in INTEGERS + TEXTS, f"a stray file {rel}")
    for rel in INTEGERS + TEXTS:
        parse(rel)
    for rel, backup in zip(MEMOS, BACKUPS):
        history, held = memos[rel], parse(backup)
        # Keys that came faster than the disk are written as one pair, the memo renamed first: killed in the
        # moment before its backup's rename, the backup is still the one it had, some keys behind.
        paired = [i for i in history.find(parse(rel), rel) if held in history.states[:i + 1]]
        expect(paired, f"{backup} does not pair with {rel}: {held[-20:]!r} and {parse(rel)[-20:]!r}")
        at = max(n for n in range(paired[0] + 1) if history.states[n] == held)  # the backup's own state
        history.states, history.lo = history.states[at:paired[0] + 1], paired[0] - at
    page.states, page.lo = [parse("set/Change.txt")] * 2, 1


def storm():
    rng = random.Random(SEED)
    wait_main(program := desk.start())  # lays the folder out
    desk.stop(program)
    big = "\n".join(f"{n:05d} 今日の予定：会議と買い物、夕方に電話。" for n in range(4000))
    for page, text in ((1, "first line\nsecond"), (BIG_PAGE, big)):
        desk.plant(MEMOS[page - 1], rw.text_value(text))
        desk.plant(BACKUPS[page - 1], rw.text_value(text))
    memos = {rel: History(parse(backup), parse(rel)) for rel, backup in zip(MEMOS, BACKUPS)}
    page = History(parse("set/Change.txt"), parse("set/Change.txt"))
    fixed = {rel: desk.value(rel) for rel in INTEGERS + TEXTS if rel not in MEMOS + BACKUPS + ["set/Change.txt"]}
    lapses = []

    def kill_at(program, seconds):
        def kill():
            if program.poll() is None:
                try:  # what is on disk now bounds what may be there after the kill
                    for rel in (MEMOS[int(page.states[-1]) - 1], MEMOS[10]):
                        memos[rel].lo = memos[rel].find(parse(rel), rel)[-1]
                    page.lo = page.find(parse("set/Change.txt"), "set/Change.txt")[-1]
                except Failure as e:
                    lapses.append(str(e))
                program.send_signal(signal.SIGKILL)
        timer = threading.Timer(seconds, kill)
        timer.start()
        return timer

    slow = os.environ.get("POTORA_SLOW_SYNC")
    for round_no in range(1, ROUNDS + 1):
        sync_ms = rng.choice((0, 30, 100, 250))  # drawn, as every draw, whatever the disk and earlier rounds: one plan a seed
        program = desk.start({"LD_PRELOAD": slow, "SLOW_SYNC_MS": str(sync_ms)} if sync_ms and slow else None)
        if rng.random() < 0.15:  # killed while it starts
            timer = kill_at(program, rng.uniform(0.0, 0.8))
        else:
            x, y, width, _ = wait_main(program)
            keys = [[rng.choice(["BackSpace"] * 2 + ["Return"] + ["space"] * 2 + list("abcdefghij0123456789"))
                     for _ in range(rng.randint(lo, hi))] for lo, hi in ((5, 25), (3, 15))]
            delay = rng.choice((4, 8, 15))
            timer = kill_at(program, rng.uniform(0.0, 0.4 + sum(map(len, keys)) * (delay + 3) / 1000))
            switch, chosen = rng.random() < 0.4, rng.choice(list(range(1, 11)) + [BIG_PAGE] * 3)
            if switch and str(chosen) != page.states[-1]:
                page.states.append(str(chosen))
                desk.x("xdotool", "mousemove", x + PAGE_BUTTONS[chosen][0] + 12, y + PAGE_BUTTONS[chosen][1] + 12, "click", 1)
            for top, rel, typed in zip(BOXES, (MEMOS[int(page.states[-1]) - 1], MEMOS[10]), keys):
                if program.poll() is not None:
                    break
                desk.x("xdotool", "mousemove", x + width // 2, y + top, "click", 1, "key", "ctrl+End")
                for key in typed:
                    memos[rel].apply(key)
                # Left to finish even when the program is gone: a key pressed
                # but not released would repeat into the next start.
                subprocess.run(["xdotool", "key", "--delay", str(delay)] + typed, env=desk.env, stderr=subprocess.DEVNULL)
            expect(len(desk.windows("ポトラ")) <= 1, f"round {round_no}: a box came up")
        timer.join()
        expect(desk.stop(program, signal.SIGKILL) == -signal.SIGKILL,
               f"round {round_no}: the program ended with status {program.returncode}, not by the kill")
        log = program.log.read_text(errors="replace")
        expect(not lapses and not log.strip(), f"round {round_no}: {lapses} {log[:300]}")
        check_folder(memos, page)
        expect(all(desk.value(rel) == data for rel, data in fixed.items()), f"round {round_no}: a file changed that nothing was meant to write")

    program = desk.start()  # a clean start shows what the files hold
    x, y, width, _ = wait_main(program)
    for top, rel in zip(BOXES, (MEMOS[int(page.states[-1]) - 1], MEMOS[10])):
        desk.click(x + width // 2, y + top)  # a key typed at its end too, as an empty box copies nothing
        expect(desk.copied(parse(rel) + "#", "ctrl+End", "numbersign", "ctrl+a"), f"the last start does not show what {rel} holds")
    desk.stop(program)
    expect(not list(desk.app.glob("*/*.potora-tmp")), "a temporary file is left after a clean start")


print(f"seed {SEED} (CRASH_SEED={SEED} replays it), {ROUNDS} rounds", flush=True)
with rw.Desktop() as desk:
    began = time.monotonic()
    try:
        failure = storm()
    except Failure as e:
        failure = str(e)
    check(failure or f"{ROUNDS} kills left whole files that pair with their backups ({time.monotonic() - began:.0f} s)", not failure)
