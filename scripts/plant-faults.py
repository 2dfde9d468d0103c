#!/usr/bin/env python3
"""Plants, one at a time, faults of the kinds the unit and widget tests guard, into a git worktree of HEAD of its
own (the sources here are never touched), rebuilds, runs the tests labelled unit, and the real-window tests a fault
names besides, and says which test functions caught each; at the end a table of them, and the test functions that
caught none. Where Qt for Windows is at hand (build-win/qt6-mingw, as ./package-windows.sh unpacks it) it does the
same with the Windows build under Wine (--windows-only: only there; the Linux build is still made, for the
tests that compare the two). Every fault must be caught on every system it is planted for.
    scripts/plant-faults.py [--linux-only | --windows-only] [WORD...]
With words, only the faults whose description or file holds one of them are planted."""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
L, W, BOTH = ("linux",), ("windows",), ("linux", "windows")
# A failed rename, taken for done: the end of both systems' commit.
kRenameReported = "        return {};\n    const QString error = SystemError::last();\n    drop(staged);\n    return {error};\n}\n\nvoid drop"
kRenameIgnored = "        return {};\n    drop(staged);\n    return {};\n}\n\nvoid drop"
# What a careless change could do: (fault, file, text, the text that replaces it, the systems it is planted for,
# and the real-window tests that run besides the unit tests, where a system has them)
FAULTS = [
    ("a failed write is ignored", "src/store/linux/FileSystem.cpp", "        staged.error = writeWhole(fd, ",
     "        writeWhole(fd, ", L),
    ("a failed write is ignored", "src/store/windows/FileSystem.cpp", "    staged.error = writeWhole(file.get(), ",
     "    writeWhole(file.get(), ", W),
    ("a failed rename is reported as saved", "src/store/linux/FileSystem.cpp",
     kRenameReported, kRenameIgnored, L),
    ("a failed rename is reported as saved", "src/store/windows/FileSystem.cpp",
     kRenameReported, kRenameIgnored, W),
    ("the folder is not synced after a rename", "src/store/linux/FileSystem.cpp",
     "    const Result<> synced = syncFolderOf(QFile::encodeName(one));", "    const Result<> synced;", L),
    ("new files can be read by others", "src/store/linux/FileSystem.cpp", "exists ? existing.st_mode & 07777 : 0600)",
     "exists ? existing.st_mode & 07777 : 0644)", L),
    ("the backup follows a symbolic link", "src/store/linux/FileSystem.cpp",
     "::lstat(source.constData(), &info) != 0 || !S_ISREG(info.st_mode))", "::lstat(source.constData(), &info) != 0)", L),
    ("half-width katakana are read as UTF-8", "src/store/ValueFile.cpp", "    return form.valid && form.wide;",
     "    return form.valid;", BOTH),
    ("UTF-8 files are read as Shift-JIS", "src/store/ValueFile.cpp", "    return form.valid && form.wide;",
     "    return false;", BOTH),
    ("a file that does not read as it is is written over", "src/store/Values.cpp", "    if (result.value.setAside) {",
     "    if (false) {", BOTH),
    ("a start removes the user's files", "src/store/DataFolder.cpp", "value.path) + FileSystem::kTemporarySuffix;",
     "value.path) + QStringLiteral(\".201805\");", BOTH),
    ("the backup is left as it was", "src/store/FileSystem.cpp", "FileSteps::link(next.value.target, backup);",
     "Result<Link>{Link::Made, {}};", BOTH),
    ("a newer text does not take the place of the one waiting", "src/store/Writer.cpp",
     "        waiting.insert(job.path, std::move(job));", "        waiting.insert(job.path, waiting.value(job.path, job));", BOTH),
    ("a memo's change that comes while another waits is lost", "src/store/Writer.cpp", "        it->changes.append(change);",
     "        ;", BOTH),
    ("a reader gets the file, not the text waiting for it", "src/store/Values.cpp",
     "std::optional<Writer::Newer> newer = m_writer.newer(relative)", "std::optional<Writer::Newer> newer = std::nullopt", BOTH),
    ("a hand-edited 01 shows ticked", "src/store/Flag.cpp", "if (text == QLatin1String(\"1\"))", "if (text.toInt() == 1)", BOTH),
    ("every change report is saved (input methods)", "src/main/MemoSlot.cpp", "    if (head + tail == before.size() && head + tail == after.size())\n        return;",
     "    if (false)\n        return;", BOTH),
    ("the first fill keeps an earlier run's backup", "src/main/MemoSlot.cpp", "    if (!m_known && !text.isEmpty()) {",
     "    if (false) {", BOTH),
    ("a clock step is taken for time passing", "src/main/TimerMemoCheck.cpp", "    if (std::abs(step) < kLeastClockStepMs)",
     "    if (true)", BOTH),
    ("summer time is taken for a clock step", "src/main/TimerMemoCheck.cpp",
     "        const qint64 ms = m_platform.now().toMSecsSinceEpoch();",
     "        const qint64 ms = m_platform.now().toMSecsSinceEpoch() + m_platform.now().offsetFromUtc() * 1000;", L),
    ("a minute is checked twice", "src/main/TimerMemoCheck.cpp", "        if (m_lastChecked >= current)",
     "        if (m_lastChecked > current)", BOTH),
    ("the refresh writes the page file", "src/main/MemoPages.cpp", "    showPage(page);\n    m_slots",
     "    showPage(page);\n    std::ignore = m_values.writeInteger(ValueFiles::kChange, page);\n    m_slots", BOTH),
    ("unsaved text goes with Main", "src/main/Main.cpp", "    m_rescue->rescue(sessionEnding());\n}", "}", BOTH),
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
    ("a removal that found nothing says it removed the entry", "src/options/Option1.cpp", "    else if (removed.value == Platform::Removal::Removed)",
     "    else if (true)", BOTH),
    ("a failed registration gives no reason", "src/store/Texts.cpp",
     'registerFailed(const QString &reason) { return QStringLiteral("スタートアップに登録できませんでした\\n理由: %1").arg(reason); }',
     'registerFailed(const QString &) { return QStringLiteral("スタートアップに登録できませんでした"); }', BOTH),
    ("help asked for again shows the page as first read", "src/platform/HelpViewer.cpp", "        m_browser->reload();",
     "        ;", BOTH),
    ("every request for help opens another viewer", "src/platform/HelpViewer.cpp", "    if (!viewer)\n        viewer = ",
     "        viewer = ", BOTH),
    ("the spinners stop at the ends instead of wrapping", "src/kit/UpDown.cpp",
     "        next = m_minimum;\n    else if (next < m_minimum)\n        next = m_maximum;",
     "        next = m_maximum;\n    else if (next < m_minimum)\n        next = m_minimum;", BOTH),
    ("a later start of the folder is not answered", "src/platform/linux/LinuxSingleInstance.cpp",
     "            if (request == kRequest) {", "            if (false) {", L),
    ("copies of two folders answer for each other", "src/platform/linux/LinuxSingleInstance.cpp",
     "(qEnvironmentVariable(\"USER\") + QLatin1Char('\\n') + canonicalRoot(dataRoot))", "(qEnvironmentVariable(\"USER\"))", L),
    ("a later start of the folder is not answered", "src/platform/windows/WindowsSingleInstance.cpp", "    return kShown;\n}",
     "    return 0;\n}", W),
    ("a text keeps the desktop's colour where it cannot be read", "src/kit/Legible.cpp",
     "    if (contrast(wanted, against) >= kLeast)", "    if (true)", BOTH),
    ("a change of colour scheme is not followed", "src/kit/Legible.cpp",
     "        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)",
     "        if (false)", BOTH),
    ("a caption too wide for its box is drawn cut", "src/kit/CaptionFit.cpp",
     "        else if (event->type() == QEvent::Paint)\n            fit(widget);", "        else if (false)\n            fit(widget);", BOTH),
    ("a button's caption may touch its edges", "src/kit/CaptionFit.cpp",
     "    return origin + ink.left() >= margin && origin + ink.right() <= width - margin;",
     "    return origin + ink.left() >= 0 && origin + ink.right() <= width;", BOTH),
    ("the first change of a box never filled backs up the box's empty text", "src/main/MemoSlot.cpp",
     "change, !m_known);", "change, false);", BOTH),
    ("the minute's refresh misses a file another program changed", "src/store/Values.cpp",
     "    return now.ok() && now.value == *seen;", "    return now.ok();", BOTH),
    ("the tray's press leaves Main where it is", "src/main/Main.cpp", "MouseDown()\n{\n    formShow();\n}", "MouseDown()\n{\n}",
     BOTH),
    ("a window shown again is not raised", "src/kit/Form.cpp", "    Platform::bringToFront(this);", "    show();", BOTH),
    ("a window brought to the front stays minimised", "src/platform/Platform.cpp",
     "    if (window->isMinimized())\n        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);\n", "", BOTH),
    ("the page's cancel keeps the first page's name (screen readers)", "src/main/Main.cpp",
     "Texts::pageCancelName(page)", "Texts::pageCancelName(1)", L, ("realwindow/accessibility",)),
    ("a timer memo's hour buttons share one name (screen readers)", "src/store/Texts.cpp",
     'step(QStringLiteral("時"), memo, up)', 'step(QStringLiteral("時"), memo, true)', L, ("realwindow/accessibility",)),
    ("the position editor goes at the user's close key", "src/geometry/Mainmove.h",
     "    void showEvent(QShowEvent *event) override;\n",
     "    void showEvent(QShowEvent *event) override;\n    void queryUnload(bool &, CloseOrigin) override {}\n", L,
     ("realwindow/main_window",)),
    ("the memo boxes are hinted as hidden text, which turns the input method away", "src/main/Main.cpp",
     "    box->setTabChangesFocus(true);\n",
     "    box->setTabChangesFocus(true);\n    box->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData);\n", L,
     ("realwindow/main_window",)),
    ("only a double click on the tray icon brings Main up", "src/platform/TrayIcon.cpp",
     "reason == QSystemTrayIcon::Trigger", "reason == QSystemTrayIcon::DoubleClick", BOTH,
     ("realwindow/desktop", "realwindow/windows_first_start")),
]


def run(*args, cwd, env=None):
    return subprocess.run([str(a) for a in args], cwd=cwd, capture_output=True, text=True, env=env)


def builds(tree):
    """What to build and test in the worktree, per system: (build folder, configure)."""
    found = {"linux": ("build", ["cmake", "-S", ".", "-B", "build", "-G", "Unix Makefiles"])}
    qt = os.path.join(ROOT, "build-win/qt6-mingw")
    if "--linux-only" not in sys.argv and os.path.isfile(os.path.join(qt, "bin/qt-cmake")):
        os.makedirs(os.path.join(tree, "build-win"), exist_ok=True)
        os.symlink(os.path.realpath(qt), os.path.join(tree, "build-win/qt6-mingw"))
        found["windows"] = ("build-win", ["env", "QT_HOST_PATH=/usr", "build-win/qt6-mingw/bin/qt-cmake", "-G", "Ninja", "-S", ".",
                                          "-B", "build-win", "-DCMAKE_BUILD_TYPE=Release", f"-DPOTORA_LINUX_BUILD={tree}/build",
                                          f"-DQT_CHAINLOAD_TOOLCHAIN_FILE={tree}/cmake/mingw-toolchain.cmake"])
    elif "--linux-only" not in sys.argv:
        print("the Windows build is left out: no build-win/qt6-mingw (./package-windows.sh unpacks it)")
    return found


def commands(folder):
    """Each test of the build: its command, environment and folder, as CTest runs it."""
    found = {}
    for test in json.loads(run("ctest", "--show-only=json-v1", cwd=folder).stdout or "{}").get("tests", []):
        props = {prop["name"]: prop["value"] for prop in test.get("properties", [])}
        env = {**os.environ, **dict(item.split("=", 1) for item in props.get("ENVIRONMENT", []))}
        found[test["name"]] = (test.get("command") or [], env, props.get("WORKING_DIRECTORY", folder))
    return found


def ctest(folder, *selection):
    """Runs the tests selected; per test run: its name, whether it failed, its output, and CTest's word on it."""
    with tempfile.NamedTemporaryFile(suffix=".xml") as junit:
        said = run("ctest", *selection, "-j", os.cpu_count(), "--output-junit", junit.name, cwd=folder).stdout
        late = set(re.findall(r"Test +#\d+: (\S+) \.*\*+Timeout", said))
        try:
            cases = ET.parse(junit.name).getroot().iter("testcase")
        except ET.ParseError:
            return []
        # Only a test that failed counts: a skipped one is no catch.
        runs = [(case.get("name"), case.get("status") == "fail", case.findtext("system-out") or "",
                 next((f.get("message", "") for f in case.iter("failure")), "")) for case in cases]
    return [again(folder, test) if test in late else (test, bad, out, word) for test, bad, out, word in runs]


def again(folder, test):
    """A test that ran out of its time, run once more by itself with ten times as long: a busy machine can take
    longer than the limit (tst_main under Wine takes most of it), and only a hang that outlasts that is caught."""
    command, env, where = commands(folder)[test]
    try:
        done = subprocess.run(command, cwd=where, env=env, capture_output=True, text=True, timeout=1200)
        return test, done.returncode != 0, done.stdout + done.stderr, f"status {done.returncode} when run again alone"
    except subprocess.TimeoutExpired as late:
        out = late.stdout or ""
        return test, True, out.decode(errors="replace") if isinstance(out, bytes) else out, "hung for 20 minutes"


def failures(name, output, word):
    """What failed in a failed test: the Qt Test functions with their rows, or a real-window test's first check."""
    found = re.findall(r"^FAIL!\s*: (\w+::\w+)\((.*?)\)(?: |$)", output, re.M)
    if found:
        return found
    check = re.search(r"^FAIL: (.*)$|^(Received signal \d+|QFATAL .*)$", output, re.M)
    return [(name, (check.group(check.lastindex)[:90] if check else word or "failed, saying no more"))]


def functions(folder, names):
    """Every test function of the Qt Test programs of the build: (test, function), and the test's class."""
    listed, classes = [], {}
    for test, (command, env, where) in commands(folder).items():
        if any(os.path.basename(part).startswith("tst_") for part in command):
            slots = run(*command, "-functions", cwd=where, env=env).stdout
            listed += [(test, f) for f in re.findall(r"^(\w+)\(\)$", slots, re.M)]
            classes[test] = names.get(test, test)
    return listed, classes


def rows(tags):
    return f"({', '.join(tags)})" if len(tags) <= 3 else f"({', '.join(tags[:2])} and {len(tags) - 2} rows more)"


def summary(caught):
    """Class::function(rows), in the order first met."""
    grouped = {}
    for function, tag in caught:
        grouped.setdefault(function, []).append(tag)
    return ", ".join(f + (rows([t for t in tags if t]) if any(tags) else "()") for f, tags in grouped.items())


began = time.monotonic()
words = [a for a in sys.argv[1:] if not a.startswith("--")]
chosen = [f for f in FAULTS if not words or any(w in f[0] or w in f[1] for w in words)]
tree = tempfile.mkdtemp(prefix="potora-faults-")
if run("git", "worktree", "add", "--detach", tree, "HEAD", cwd=ROOT).returncode:
    sys.exit("cannot make a worktree")
planted, missed, table, catching, everything, classes = 0, 0, [], set(), set(), {}
try:
    systems = builds(tree)
    tested = [s for s in systems if not (s == "linux" and "--windows-only" in sys.argv)]
    for name, (folder, configure) in systems.items():
        if run(*configure, cwd=tree).returncode or run("cmake", "--build", folder, "-j", os.cpu_count(), cwd=tree).returncode:
            sys.exit(f"HEAD does not build for {name}")
        if name not in tested:
            continue
        # HEAD passes what is run, or a failure would pass for a catch.
        extra = sorted({t for f in chosen if name in f[4] for t in (f[5] if len(f) > 5 else ())})
        runs = ctest(os.path.join(tree, folder), "-L", "unit")
        runs += ctest(os.path.join(tree, folder), "-R", f"^({'|'.join(extra)})$") if extra else []
        # A real-window test may stumble on a busy machine: one that fails is run once more.
        for test, out, word in [(test, out, word) for test, bad, out, word in runs if bad]:
            print(f"HEAD on {name}: {test} failed ({summary(failures(test, out, word))}); run once more", flush=True)
            if any(bad for t, bad, _, _ in ctest(os.path.join(tree, folder), "-R", f"^{re.escape(test)}$") if t == test):
                sys.exit(f"HEAD fails on {name}: {test}")
        names = {test: m.group(1) for test, _, out, _ in runs if (m := re.search(r"Start testing of (\w+)", out))}
        listed, found = functions(os.path.join(tree, folder), names)
        everything.update((name, test, f) for test, f in listed)
        classes.update(found)
    for fault, path, text, replacement, where, *extra in chosen:
        source_path = os.path.join(tree, path)
        with open(source_path) as f:
            source = f.read()
        if text not in source:
            print(f"{fault}: its text is no longer in {path}; update this list")
            planted, missed = planted + 1, missed + 1
            continue
        with open(source_path, "w") as f:
            f.write(source.replace(text, replacement, 1))
        try:
            for name in (s for s in where if s in tested):
                planted += 1
                folder = os.path.join(tree, systems[name][0])
                built = run("cmake", "--build", folder, "-j", os.cpu_count(), cwd=tree).returncode == 0
                runs = ctest(folder, "-L", "unit") if built else []
                runs += ctest(folder, "-R", f"^({'|'.join(extra[0])})$") if built and extra else []
                caught = [(test, c) for test, bad, out, word in runs if bad for c in failures(test, out, word)]
                catching.update((test, function.split("::")[-1]) for test, (function, _) in caught)
                said = "does not build" if not built else summary([c for _, c in caught]) if caught else "MISSED"
                print(f"{fault} ({name}): {said}", flush=True)
                table.append((f"{fault} ({name}, {path})", said))
                missed += not caught
        finally:
            with open(source_path, "w") as f:
                f.write(source)
finally:
    # The Windows tests' small disk, where a run stopped before CTest unmounted it.
    for mount in [line.split()[1] for line in open("/proc/mounts") if line.split()[1].startswith(tree)]:
        run("umount", mount, cwd=ROOT)
    run("git", "worktree", "remove", "--force", tree, cwd=ROOT)
    shutil.rmtree(tree, ignore_errors=True)

print("\nfault (system, file): the test functions that caught it")
for fault, said in table:
    print(f"{fault}\n    {said}")
print("\ntest functions that caught no fault" + (" of those planted here" if words else "") + ", and what each guards:")
for test, function in sorted({(t, f) for _, t, f in everything} - catching):
    if function not in ("initTestCase", "cleanupTestCase", "init", "cleanup"):
        promise = re.sub(r"([A-Z])", lambda m: " " + m.group(1).lower(), function)
        on = ", ".join(sorted(s for s, t, f in everything if (t, f) == (test, function)))
        print(f"    {classes.get(test, test)}::{function} ({on}): {promise}")
print(f"\n{planted - missed} of {planted} planted faults caught in {(time.monotonic() - began) / 60:.0f} min")
sys.exit(1 if missed else 0)
