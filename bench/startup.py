#!/usr/bin/env python3
"""Start-up benchmark: the time from process start to the first window
mapped, and the peak resident memory, of ポトラ, of the floor
(bench/floor_window: a frameless window with a Japanese text box, a bold
italic Japanese button and a tray icon) and of xpad, Debian's sticky-notes
program, under Xvfb with icewm. The programs take turns, one start each per
round, so that whatever else loads the machine falls on all of them alike.
Medians, and the ratios to the floor.
    bench/startup.py [build dir] [rounds]
With MAPWATCH_VERBOSE set, every start's figures go to stderr."""

import os
import statistics
import subprocess
import sys
import unicodedata
from pathlib import Path

root = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(root / "tests" / "realwindow"))
import rw  # noqa: E402

build = Path(sys.argv[1] if len(sys.argv) > 1 else root / "build").resolve()
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 11
subprocess.run([root / "scripts" / "deps.sh", "--bench"], check=True)

with rw.Desktop(build / "potora") as desk:
    programs = {"floor": [build / "bench" / "floor_window"], "ポトラ": [desk.app / "potora"], "xpad": ["xpad", "-s"]}

    def start(command):
        """[ms to the window, peak MB] of one start."""
        stderr = None if "MAPWATCH_VERBOSE" in os.environ else subprocess.DEVNULL  # GTK's warnings
        out = subprocess.run([build / "bench" / "mapwatch", "1", *command], env=desk.env, cwd="/", check=True,
                             stdout=subprocess.PIPE, stderr=stderr, text=True).stdout
        return [float(value) for value in out.split()]

    # Starts to lay out each program's data and to warm the file caches, so
    # every measured start is alike. xpad's first start shows its help and
    # saves a hidden pad; -s shows that pad, as a user's saved note is shown
    # at every start. ポトラ shows Japanese in its page and extra memo, as the
    # floor does.
    for command in (programs["floor"], programs["ポトラ"], ["xpad"], programs["xpad"]):
        start(command)
    (desk.app / "set" / "memo.txt").write_bytes(rw.text_value("牛乳とパンを買う。\n三時に歯医者。"))
    (desk.app / "set" / "memo11.txt").write_bytes(rw.text_value("今週の予定"))

    load_before = " ".join(Path("/proc/loadavg").read_text().split()[:3])
    names, runs = list(programs), {name: [] for name in programs}
    for r in range(rounds):
        for i in range(len(names)):  # each round begins with another program
            name = names[(i + r) % len(names)]
            runs[name].append(start(programs[name]))
    load_after = " ".join(Path("/proc/loadavg").read_text().split()[:3])

print(f"{rounds} starts each, interleaved, medians; {os.cpu_count()} cores, load {load_before} before, {load_after} after")
median = {name: [statistics.median(run[k] for run in runs[name]) for k in (0, 1)] for name in names}
floor_ms, floor_mb = median["floor"]
print(f"{'program':12} {'to_window_ms':>12} {'peak_rss_mb':>12} {'time_ratio':>11} {'rss_over_mb':>12}")
for name in names:
    ms, mb = median[name]
    # East Asian letters take two columns.
    pad = 12 - sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in name)
    print(f"{name}{' ' * pad} {ms:12.1f} {mb:12.1f} {ms / floor_ms:11.2f} {mb - floor_mb:12.1f}")
