#!/usr/bin/env python3
"""Plants, one at a time, faults of the kinds the unit and widget tests guard,
rebuilds build/, runs the tests labelled unit and says which caught it; the
source is put back after each. Every fault must be caught.
    scripts/plant-faults.py            (after cmake -S . -B build)"""

import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# What a careless change could do: (fault, file, text, the text that replaces it)
FAULTS = [
    ("a failed write is ignored", "src/store/FileReplace.cpp", "        error = writeWhole(fd, bytes);", "        writeWhole(fd, bytes);"),
    ("every change report is saved (input methods)", "src/main/MemoSlot.cpp", "if (text == m_stored) {", "if (false) {"),
    ("the backup is left as it was", "src/main/MemoSlot.cpp", "    m_values.backup(", "    if (false) m_values.backup("),
    ("a clock step is taken for time passing", "src/main/TimerMemoCheck.cpp", "    if (std::abs(step) < kStepMs)", "    if (true)"),
    ("a minute is checked twice", "src/main/TimerMemoCheck.cpp", "        if (m_lastChecked >= current)", "        if (m_lastChecked > current)"),
    ("the refresh writes the page file", "src/main/MemoPages.cpp", "    showPage(page);\n    m_slots", "    showPage(page);\n    m_values.writeInteger(ValueFiles::kChange, page);\n    m_slots"),
    ("the close guard lets the user close", "src/kit/Form.cpp", "        cancel = true;", "        cancel = false;"),
    ("the height limit is off", "src/geometry/Mainmove.cpp", "kMinimumHeight = 3500;", "kMinimumHeight = 3400;"),
    ("% is not doubled in Exec", "src/platform/linux/LinuxAutostart.cpp", "            quoted += u'%';", "            ;"),
    ("the backup follows a symbolic link", "src/store/DataFolder.cpp", "!S_ISREG(info.st_mode) || ", ""),
    ("a start removes the user's files", "src/store/DataFolder.cpp", "value.path) + FileReplace::kTemporarySuffix;", "value.path) + QStringLiteral(\".201805\");"),
    ("a failed rename is reported as saved", "src/store/FileReplace.cpp", "::rename(tempName.constData(), finalName.constData()) != 0)\n        error = lastError();", "::rename(tempName.constData(), finalName.constData()) != 0)\n        ;"),
    ("a hung copy is robbed of its folder", "src/platform/linux/SingleInstance.cpp", "            return Outcome::Unreachable;", "            return Outcome::First;"),
    ("unsaved text goes with Main", "src/main/Main.cpp", "    rescueUnsaved();\n}", "}"),
    ("UTF-8 files are read as Shift-JIS", "src/store/ValueFile.cpp", "    if (isAscii(bytes))\n        return false;", "    return false;"),
    ("a checkpoint ends the session", "src/platform/linux/DesktopSession.cpp", "{ emit commitData(); }", "{ emit commitData(); emit ending(); }"),
    ("the position editor stores its client geometry", "src/geometry/Mainmove.cpp", "    const QRect outer = frameGeometry();\n    return QRectF(", "    const QRect outer = geometry();\n    return QRectF("),
]


def run(*args, cwd=ROOT):
    return subprocess.run(args, cwd=cwd, capture_output=True, text=True)


missed = 0
for fault, path, text, planted in FAULTS:
    with open(os.path.join(ROOT, path)) as f:
        source = f.read()
    if text not in source:
        print(f"{fault}: its text is no longer in {path}; update this list")
        missed += 1
        continue
    with open(os.path.join(ROOT, path), "w") as f:
        f.write(source.replace(text, planted, 1))
    try:
        built = run("cmake", "--build", "build", "-j", str(os.cpu_count())).returncode == 0
        tests = run("ctest", "-L", "unit", "-j", str(os.cpu_count()), cwd=os.path.join(ROOT, "build")) if built else None
    finally:
        with open(os.path.join(ROOT, path), "w") as f:
            f.write(source)
    caught = [line.split(" - ")[1].split()[0] for line in (tests.stdout if tests else "").splitlines() if " - " in line]
    print(f"{fault}: " + ("does not build" if not built else f"caught by {', '.join(caught)}" if caught else "MISSED"), flush=True)
    missed += not caught
run("cmake", "--build", "build", "-j", str(os.cpu_count()))
print(f"{len(FAULTS) - missed} of {len(FAULTS)} planted faults caught")
sys.exit(1 if missed else 0)
