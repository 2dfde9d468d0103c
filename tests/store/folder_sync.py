#!/usr/bin/env python3
"""A value file renamed into place is on disk only once its folder is synced too: strace follows the store's
own tests as they write and back up value files, and every rename must be followed by a sync of the folder."""

import os
import re
import shutil
import subprocess
import sys
import tempfile

if not shutil.which("strace"):
    print("skip: strace missing: apt-get install strace")
    sys.exit(77)
with tempfile.NamedTemporaryFile("r") as trace:
    run = subprocess.run(["strace", "-f", "-qq", "-o", trace.name, "-e", "trace=openat,rename,renameat,renameat2,fsync,fdatasync",
                          sys.argv[1], "replaceIsWholeOrNothing", "backupTakesTheCurrentValue"],
                         env={**os.environ, "QT_QPA_PLATFORM": "offscreen"}, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if "PTRACE" in run.stderr or "Operation not permitted" in run.stderr:
        print("skip: strace may not trace here: " + run.stderr.strip())
        sys.exit(77)
    lines = trace.read().splitlines()
if run.returncode:
    sys.exit(f"the store's tests failed under strace: {run.stderr[-2000:]}")

folders, waiting, renames = {}, {}, 0  # per process: the folders its fds name; renamed names awaiting a sync
for line in lines:
    pid = line.split()[0]
    if m := re.search(r'openat\(AT_FDCWD, "([^"]+)", ([^)]*)\)\s+= (\d+)', line):
        folders[pid, m[3]] = m[1] if "O_DIRECTORY" in m[2] else None
    elif m := re.search(r'rename(?:at2?)?\((?:AT_FDCWD, )?"([^"]+)\.potora-tmp", (?:AT_FDCWD, )?"([^"]+)"[^)]*\)\s+= 0', line):
        renames += 1
        waiting.setdefault(pid, []).append(m[2])
    elif m := re.search(r'f(?:data)?sync\((\d+)\)\s+= 0', line):
        waiting[pid] = [name for name in waiting.get(pid, []) if os.path.dirname(name) != folders.get((pid, m[1]))]
unsynced = [name for names in waiting.values() for name in names]
print(f"{renames} renames into place, {renames - len(unsynced)} followed by a sync of their folder")
if not renames or unsynced:
    sys.exit("renamed but never synced in their folder: " + ", ".join(unsynced[:5]))
