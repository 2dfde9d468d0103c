#!/usr/bin/env python3
"""Twenty keys at ten a second at the start of a memo of 0.1 to 64 MB, as the program handles them and into a bare
QPlainTextEdit holding the same text (the floor): time on the user-interface thread per key (median and longest,
wall and CPU), the last key's text synced after it was pressed, the start to the first frame and the peak memory;
medians of RUNS runs (3). Usage: bench/big_memo.py build/bench/bench_big_memo"""

import os
import statistics
import subprocess
import sys

bench = sys.argv[1]
runs = int(os.environ.get("RUNS", "3"))
sizes = [float(s) for s in os.environ.get("SIZES", "0.1 1 10 40 64").split()]
print("| memo | key median, ms | key longest, ms | key CPU median / longest, ms | last key synced, ms | start, ms | peak RSS, MB |"
      " floor key median / longest, ms | floor start, ms | floor RSS, MB |")
print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
for mb in sizes:
    rows = {}
    for mode in ("", "floor"):
        out = [[float(v) for v in subprocess.run([bench, str(int(mb * 1_000_000)), mode], capture_output=True, text=True,
                                                 check=True).stdout.split()] for _ in range(runs)]
        rows[mode] = [statistics.median(r[i] for r in out) for i in range(7)]
    p, f = rows[""], rows["floor"]
    print(f"| {mb:g} MB | {p[1]:.2f} | {p[2]:.2f} | {p[3]:.2f} / {p[4]:.2f} | {p[5]:.0f} | {p[0]:.0f} | {p[6]:.0f} |"
          f" {f[1]:.2f} / {f[2]:.2f} | {f[0]:.0f} | {f[6]:.0f} |", flush=True)
