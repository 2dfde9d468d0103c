#!/usr/bin/env python3
"""Twenty keys at ten a second into a memo page on storage whose syncs take 0, 100 and 250 ms longer: the
longest time a key spent on the user-interface thread, and how long after the last key its text was synced;
medians of RUNS runs (3). Usage: bench/typing.py build/bench/bench_typing build/tests/libslow_sync.so"""

import os
import statistics
import subprocess
import sys

bench, slow = sys.argv[1:3]
runs = int(os.environ.get("RUNS", "3"))
print(f"{'sync_ms':>8} {'longest_key_ms':>15} {'last_key_synced_ms':>19}")
for ms in (0, 100, 250):
    env = {**os.environ, "LD_PRELOAD": slow, "SLOW_SYNC_MS": str(ms)}
    rows = [[float(v) for v in subprocess.run([bench], env=env, capture_output=True, text=True, check=True).stdout.split()]
            for _ in range(runs)]
    print(f"{ms:8d} {statistics.median(r[0] for r in rows):15.1f} {statistics.median(r[1] for r in rows):19.1f}")
