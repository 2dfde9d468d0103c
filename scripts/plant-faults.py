#!/usr/bin/env python3
"""Plants, one at a time, faults of the kinds the unit and widget tests guard, into a git worktree of HEAD of its
own (the sources here are never touched), rebuilds, runs the tests labelled unit and says which caught each.
Where Qt for Windows is at hand (build-win/qt6-mingw, as ./package-windows.sh unpacks it) it does the same with the
Windows build under Wine. Every fault must be caught on every system it is planted for.
    scripts/plant-faults.py [--linux-only]"""

import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
L, W, BOTH = ("linux",), ("windows",), ("linux", "windows")
# What a careless change could do: (fault, file, text, the text that replaces it, the systems it is planted for)
FAULTS = [
    ("a failed write is ignored", "src/store/linux/FileSystem.cpp", "        staged.error = writeWhole(fd, ",
     "        writeWhole(fd, ", L),
    ("a failed write is ignored", "src/store/windows/FileSystem.cpp", "    staged.error = writeWhole(file.get(), ",
     "    writeWhole(file.get(), ", W),
    ("a failed rename is reported as saved", "src/store/linux/FileSystem.cpp",
     "    const QString error = lastError();\n    drop(staged);\n    return error;", "    drop(staged);\n    return QString();", L),
    ("a failed rename is reported as saved", "src/store/windows/FileSystem.cpp",
     "    const QString error = lastError();\n    drop(staged);\n    return error;", "    drop(staged);\n    return QString();", W),
    ("the folder is not synced after a rename", "src/store/linux/FileSystem.cpp",
     "    const QString error = syncFolderOf(QFile::encodeName(one));", "    const QString error;", L),
    ("new files can be read by others", "src/store/linux/FileSystem.cpp", "exists ? existing.st_mode & 07777 : 0600)",
     "exists ? existing.st_mode & 07777 : 0644)", L),
    ("the backup follows a symbolic link", "src/store/linux/FileSystem.cpp",
     "::lstat(source.constData(), &info) != 0 || !S_ISREG(info.st_mode))", "::lstat(source.constData(), &info) != 0)", L),
    ("half-width katakana are read as UTF-8", "src/store/ValueFile.cpp", "    return form.valid && form.wide;",
     "    return form.valid;", BOTH),
    ("UTF-8 files are read as Shift-JIS", "src/store/ValueFile.cpp", "    return form.valid && form.wide;",
     "    return false;", BOTH),
    ("a file that does not read as it is is written over", "src/store/Values.cpp", "    if (result.keep) {",
     "    if (false) {", BOTH),
    ("a start removes the user's files", "src/store/DataFolder.cpp", "value.path) + FileSystem::kTemporarySuffix;",
     "value.path) + QStringLiteral(\".201805\");", BOTH),
    ("the backup is left as it was", "src/store/FileSystem.cpp", "FileSteps::link(next.target, backup);",
     "Result<bool>{true, QString()};", BOTH),
    ("a newer text does not take the place of the one waiting", "src/store/Writer.cpp",
     "        waiting.insert(job.path, std::move(job));", "        waiting.insert(job.path, waiting.value(job.path, job));", BOTH),
    ("a reader gets the file, not the text waiting for it", "src/store/Values.cpp",
     "    if (QString waiting; m_writer.latest(relative, &waiting))", "    if (QString waiting; false)", BOTH),
    ("a hand-edited 01 shows ticked", "src/store/Flag.cpp", "if (text == QLatin1String(\"1\"))", "if (text.toInt() == 1)", BOTH),
    ("every change report is saved (input methods)", "src/main/MemoSlot.cpp", "    if (text == m_stored)\n        return;",
     "    if (false)\n        return;", BOTH),
    ("the first fill keeps an earlier run's backup", "src/main/MemoSlot.cpp", "    if (!m_filled && !m_stored.isEmpty()) {",
     "    if (false) {", BOTH),
    ("a clock step is taken for time passing", "src/main/TimerMemoCheck.cpp", "    if (std::abs(step) < kLeastClockStepMs)",
     "    if (true)", BOTH),
    ("summer time is taken for a clock step", "src/main/TimerMemoCheck.cpp",
     "        const qint64 ms = m_platform.now().toMSecsSinceEpoch();",
     "        const qint64 ms = m_platform.now().toMSecsSinceEpoch() + m_platform.now().offsetFromUtc() * 1000;", L),
    ("a minute is checked twice", "src/main/TimerMemoCheck.cpp", "        if (m_lastChecked >= current)",
     "        if (m_lastChecked > current)", BOTH),
    ("the refresh writes the page file", "src/main/MemoPages.cpp", "    showPage(page);\n    m_slots",
     "    showPage(page);\n    m_values.writeInteger(ValueFiles::kChange, page);\n    m_slots", BOTH),
    ("unsaved text goes with Main", "src/main/Main.cpp", "    rescueUnsaved();\n}", "}", BOTH),
    ("the close guard lets the user close", "src/kit/Form.cpp", "        cancel = true;", "        cancel = false;", BOTH),
    ("the height limit is off", "src/geometry/Mainmove.cpp", "kMinimumHeight = 3500;", "kMinimumHeight = 3400;", BOTH),
    ("the position editor stores its client geometry", "src/geometry/Mainmove.cpp",
     "    const QRect outer = frameGeometry();\n    return QRectF(", "    const QRect outer = geometry();\n    return QRectF(", BOTH),
    ("a quit while the start-up memo is up starts the run anew", "src/app/Program.cpp",
     "    if (windows.ending())\n        return false;", "", BOTH),
    ("% is not doubled in Exec", "src/platform/linux/LinuxAutostart.cpp", "            quoted += u'%';", "            ;", L),
    ("a hung copy is robbed of its folder", "src/platform/SingleInstance.cpp", "            return Outcome::Unreachable;",
     "            return Outcome::First;", BOTH),
    ("a checkpoint ends the session", "src/platform/SessionWatch.cpp", "{ emit commitData(); }",
     "{ emit commitData(); emit ending(); }", L),
    ("a refused log-off ends the session", "src/platform/windows/WindowsSessionWatch.cpp",
     "    if (msg->message != WM_ENDSESSION || !msg->wParam)", "    if (msg->message != WM_ENDSESSION)", W),
]


def run(*args, cwd):
    return subprocess.run([str(a) for a in args], cwd=cwd, capture_output=True, text=True)


def builds(tree):
    """What to build and test in the worktree, per system: (build folder, configure, test arguments)."""
    found = {"linux": ("build", ["cmake", "-S", ".", "-B", "build", "-G", "Unix Makefiles"], ["-L", "unit"])}
    qt = os.path.join(ROOT, "build-win/qt6-mingw")
    if "--linux-only" not in sys.argv and os.path.isfile(os.path.join(qt, "bin/qt-cmake")):
        os.makedirs(os.path.join(tree, "build-win"), exist_ok=True)
        os.symlink(qt, os.path.join(tree, "build-win/qt6-mingw"))
        found["windows"] = ("build-win", ["env", "QT_HOST_PATH=/usr", "build-win/qt6-mingw/bin/qt-cmake", "-G", "Ninja", "-S", ".",
                                          "-B", "build-win", "-DCMAKE_BUILD_TYPE=Release",
                                          f"-DQT_CHAINLOAD_TOOLCHAIN_FILE={tree}/cmake/mingw-toolchain.cmake"], ["-L", "unit"])
    else:
        print("the Windows build is left out: no build-win/qt6-mingw (./package-windows.sh unpacks it)")
    return found


tree = tempfile.mkdtemp(prefix="potora-faults-")
if run("git", "worktree", "add", "--detach", tree, "HEAD", cwd=ROOT).returncode:
    sys.exit("cannot make a worktree")
missed = planted = 0
try:
    systems = builds(tree)
    for name, (folder, configure, _) in systems.items():
        if run(*configure, cwd=tree).returncode or run("cmake", "--build", folder, "-j", os.cpu_count(), cwd=tree).returncode:
            sys.exit(f"HEAD does not build for {name}")
    for fault, path, text, replacement, where in FAULTS:
        source_path = os.path.join(tree, path)
        with open(source_path) as f:
            source = f.read()
        if text not in source:
            print(f"{fault}: its text is no longer in {path}; update this list")
            missed += 1
            continue
        with open(source_path, "w") as f:
            f.write(source.replace(text, replacement, 1))
        try:
            for name in (s for s in where if s in systems):
                folder, _, tests = systems[name]
                planted += 1
                built = run("cmake", "--build", folder, "-j", os.cpu_count(), cwd=tree).returncode == 0
                result = run("ctest", *tests, "-j", os.cpu_count(), cwd=os.path.join(tree, folder)) if built else None
                # The failed tests alone: CTest lists the skipped ones the same way, under "did not run".
                failed = (result.stdout if result else "").partition("The following tests FAILED:")[2]
                caught = [line.split(" - ")[1].split()[0] for line in failed.splitlines() if " - " in line]
                print(f"{fault} ({name}): " + ("does not build" if not built else f"caught by {', '.join(caught)}" if caught
                                               else "MISSED"), flush=True)
                missed += not caught
        finally:
            with open(source_path, "w") as f:
                f.write(source)
finally:
    run("git", "worktree", "remove", "--force", tree, cwd=ROOT)
    shutil.rmtree(tree, ignore_errors=True)
print(f"{planted - missed} of {planted} planted faults caught")
sys.exit(1 if missed else 0)
