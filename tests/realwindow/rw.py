"""Shared by the real-window tests: Xvfb with icewm, the program copied to a folder with a space, xdotool and xprop."""

import atexit
import collections
import contextlib
import importlib.util
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

_failed, _skipped = False, []
# In the options window: スタートアップに登録 at 120, 600 twips, OK at 1920, 1680, ポトラの終了 at 120, 120.
REGISTER, OK, QUIT = (20, 52), (168, 124), (150, 20)
# In Main: page 1's first line (right of the caret), the clock, the extra memo, and the window buttons (twips / 15).
PAGE1, CLOCK, EXTRA = (12, 144, 190, 36), (48, 8, 41, 17), (30, 60, 300, 20)
MAIN_BUTTONS = {"位置・サイズ変更": (200, 0, 105, 25), "オプション": (104, 0, 81, 25), "タイマーメモ": (104, 32, 81, 25),
                "起動時メモ": (200, 32, 105, 25)}
HEADING = (0, 0, 400, 17)  # the timer memo overview's


def check(what, ok):
    global _failed
    print(("ok: " if ok else "FAIL: ") + what, flush=True)
    _failed = _failed or not ok
    return ok


def skip(why, now=True):
    """Ends the test as skipped; with now=False only once the rest has run, and only if no check failed."""
    print("skip: " + why, flush=True)
    sys.exit(77) if now else _skipped.append(why)


def need(packages, *tools, modules=()):
    """As root scripts/deps.sh --test has installed the tools and Python modules: missing, they fail the test."""
    if missing := [t for t in tools if not shutil.which(t)] + [m for m in modules if not importlib.util.find_spec(m)]:
        (skip if os.geteuid() != 0 else sys.exit)(f"{' '.join(missing)} missing: apt-get install {packages}")


def text_value(text):
    """The bytes of a text value file (Shift-JIS, CR LF)."""
    return b'"' + text.replace("\n", "\r\n").encode("cp932") + b'"\r\n'


def wait_for(condition, timeout=10.0, step=0.1):
    end = time.monotonic() + timeout
    while not (result := condition()) and time.monotonic() < end:
        time.sleep(step)
    return result


def contrast(a, b):
    """WCAG 2 contrast of two (r, g, b) colours, 1 to 21."""
    def luminance(rgb):
        c = [v / 255 for v in rgb]
        c = [v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4 for v in c]
        return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]
    light, dark = sorted((luminance(a), luminance(b)), reverse=True)
    return (light + 0.05) / (dark + 0.05)


class Picture:
    """A window's pixels, as `import` takes them from the X server."""
    def __init__(self, ppm):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+\d+\s", ppm)  # one byte of white space before the pixels
        self.width, self.height, self.data = int(header[1]), int(header[2]), ppm[header.end():]

    def pixels(self, x, y, w, h):
        return [tuple(self.data[(row * self.width + col) * 3:][:3]) for row in range(y, y + h) for col in range(x, x + w)]

    def text(self, x, y, w, h):
        """The commonest colour of the box, its background, and the pixel that stands out most from it, its text."""
        pixels = self.pixels(x, y, w, h)
        background = collections.Counter(pixels).most_common(1)[0][0]
        return max(pixels, key=lambda p: contrast(p, background)), background

    def ink(self, x, y, w, h):
        """How far left and right of the box the ink of a caption on its face stays (text at 4:1 or more)."""
        pixels, (_, face) = self.pixels(x, y + 3, w, h - 6), self.text(x, y + 3, w, h - 6)
        columns = [i % w for i, p in enumerate(pixels) if contrast(p, face) >= 4]
        return (min(columns), w - 1 - max(columns)) if columns else (w, w)


def wine_prefix():
    """A Wine prefix made afresh for the test, on a Japanese Windows whose user is 山田; gone when the test ends."""
    prefix = Path(tempfile.mkdtemp()) / "wine-prefix"
    atexit.register(shutil.rmtree, prefix.parent, True)
    made = subprocess.run(["bash", Path(__file__).parent.parent / "windows/wine.sh", prefix], capture_output=True, text=True)
    if made.returncode != 0:
        sys.exit("no Wine prefix: " + made.stdout + made.stderr)
    return prefix


class Desktop(contextlib.AbstractContextManager):
    def __init__(self, built=None, wine_prefix=None, folder="ポトラ folder", last=True):
        """With wine_prefix, the program is the Windows build (ポトラ.exe) run under Wine in that prefix, whose user
        is 山田, on a Japanese Windows (code page 932). The last desktop of a test ends it with its outcome."""
        self.last = last
        need("xvfb icewm xdotool x11-utils xclip", "Xvfb", "icewm", "xdotool", "xprop", "xwininfo", "xmessage", "xclip")
        self.tmp = Path(tempfile.mkdtemp())
        self.app, self.home = self.tmp / folder, self.tmp / "home"
        shutil.copytree(built or sys.argv[1], self.app, symlinks=True)
        self.wine_prefix = wine_prefix
        # Under Wine a tray icon's window is explorer's, which docks every program's icons.
        self.tray_class = "explorer.exe" if wine_prefix else "potora"
        self.env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        for name, sub in (("HOME", ""), ("XDG_CONFIG_HOME", ".config"), ("XDG_DATA_HOME", ".local/share"),
                          ("XDG_CACHE_HOME", ".cache"), ("XDG_RUNTIME_DIR", "run")):
            (self.home / sub).mkdir(mode=0o700, parents=True, exist_ok=True)
            self.env[name] = str(self.home / sub)
        self.processes, self.mounts, self.logs = [], [], []
        # Xvfb names a free display once it is ready. -noreset: the server resets when
        # its last client leaves, refusing whoever connects meanwhile.
        ready, write = os.pipe()
        self.spawn("Xvfb", "-displayfd", write, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset", pass_fds=(write,))
        os.close(write)
        self.env["DISPLAY"] = ":" + (os.read(ready, 16).decode().strip() or sys.exit("Xvfb did not start"))
        if wine_prefix:
            self.env.update(WINEPREFIX=str(wine_prefix), USER="山田", LC_ALL="ja_JP.UTF-8", WINEDEBUG="-all",
                            WINEDLLOVERRIDES="mscoree,mshtml=")
        self.start_wm()

    def __exit__(self, *exc):
        if self.wine_prefix:  # Wine's own processes for this display (explorer, services) go first
            subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=self.env)
        for process in reversed(self.processes):  # asked first: Xvfb then removes its lock
            self.stop(process, timeout=5)
        for mount in self.mounts:
            subprocess.run(["umount", "-l", mount])
        for log in self.logs:  # a sanitizer build reports into the program's output
            if log.exists() and re.search(r"AddressSanitizer|runtime error:", text := log.read_text(errors="replace")):
                check(f"no sanitizer report in {log.name}: {text[-3000:]}", False)
        shutil.rmtree(self.tmp, ignore_errors=True)
        if self.last and not exc[0]:
            print("real-window test " + ("failed" if _failed else "skipped in part" if _skipped else "passed"), flush=True)
            sys.exit(1 if _failed else 77 if _skipped else 0)

    def x(self, *args):
        """A command's output, None when it fails."""
        done = subprocess.run([str(a) for a in args], env=self.env, text=True, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=30)
        return done.stdout if done.returncode == 0 else None

    def spawn(self, *args, env=None, log=None, **popen):
        """With a log, its output goes there (process.log), to be checked for sanitizer reports."""
        out = open(log, "ab") if log else subprocess.DEVNULL
        process = subprocess.Popen([str(a) for a in args], env=env or self.env, cwd="/", stdout=out, stderr=out, **popen)
        self.processes.append(process)
        self.logs += [log] if log else []
        process.log = log
        return process

    def start(self, env=None):
        """The program, started from a folder other than its own."""
        program = ["/usr/lib/wine/wine64", self.app / "ポトラ.exe"] if self.wine_prefix else [self.app / "potora"]
        return self.spawn(*program, env={**self.env, **(env or {})}, log=self.tmp / f"program-{len(self.logs) + 1}.log")

    def start_main(self, env=None):
        return self.start(env), self.wait_window("ポトラ")

    def stop(self, process, sig=signal.SIGTERM, timeout=10):
        """Its exit status (without a signal, once it ends by itself); None when it outlives the timeout. Then it
        is killed: left running, its windows would stand in for those of every later start."""
        if sig and process.poll() is None:
            process.send_signal(sig)
        with contextlib.suppress(subprocess.TimeoutExpired):
            return process.wait(timeout)
        process.kill()
        process.wait()

    def session_bus(self):
        """A session D-Bus of the desktop's own, for the program and what it talks to."""
        self.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + str(self.tmp / "bus")
        self.spawn("dbus-daemon", "--session", "--nofork", "--address=" + self.env["DBUS_SESSION_BUS_ADDRESS"])
        return wait_for((self.tmp / "bus").exists, 5)

    def faketime(self, **settings):
        library = next(Path("/usr/lib").glob("*/faketime/libfaketime.so.1"), None) or skip("no libfaketime: apt-get install faketime")
        return {"LD_PRELOAD": str(library), **settings}

    def start_wm(self):
        self.wm = self.spawn("icewm")
        # The check window outlives a stopped window manager: wait for icewm's own.
        if not wait_for(lambda: self.wm_running() and self.x("xdotool", "search", "--class", "icewm"), 10):
            sys.exit("icewm did not start")

    def wm_running(self):
        check_window = re.search(r"# (\w+)", self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK") or "")
        return bool(check_window and self.x("xwininfo", "-id", check_window.group(1)))

    def plant(self, relative, data):
        (self.app / relative).parent.mkdir(parents=True, exist_ok=True)
        (self.app / relative).write_bytes(data)

    def timer_memo(self, n, text, hour, minute):
        """Timer memo n, on, due at hour:minute (texts as the editor stores them)."""
        for suffix, value in (("", text), ("-2", hour), ("-3", minute)):
            self.plant(f"Timer/memo{n}{suffix}.txt", text_value(value))
        self.plant(f"Timer/true{n}.txt", b"1\r\n")

    def picture(self, window):
        return Picture(subprocess.run(["import", "-window", str(window), "-depth", "8", "ppm:-"], env=self.env, capture_output=True).stdout)

    def background(self, window, box, colour):
        return wait_for(lambda: self.picture(window).text(*box)[1] == colour, 10)

    def readable(self, window, what, box):
        """The text in the box stands out from its background by 4.5:1 (WCAG 2, level AA); its colour."""
        ink, behind = self.picture(window).text(*box)
        check(f"{what}: {contrast(ink, behind):.1f}:1, {ink} on {behind}", contrast(ink, behind) >= 4.5)
        return ink

    def captions_clear(self, window, scale):
        """Main's window buttons: their captions' ink 3 px clear of their edges at 96 dots per inch."""
        picture = self.picture(window)
        for caption, box in MAIN_BUTTONS.items():
            left, right = picture.ink(*(round(v * scale) for v in box))
            check(f"at scale {scale} {caption}'s ink is {left} and {right} px clear of its edges", min(left, right) >= 3 * scale)

    def clipboard(self):
        return (self.x("xclip", "-o", "-selection", "clipboard") or "").rstrip("\n")

    def value(self, relative):
        return path.read_bytes() if (path := self.app / relative).is_file() else None

    def title(self, window):
        found = re.search(r'= "(.*)"$', (self.x("xprop", "-id", window, "_NET_WM_NAME") or "").strip())
        return found and found.group(1)

    def viewable(self, window):
        return "IsViewable" in (self.x("xwininfo", "-id", window) or "")

    def windows(self, title):
        """Windows on screen titled exactly that; with a window manager its clients only, not the tray icon."""
        ids = self.stacking() if self.wm_running() else (self.x("xdotool", "search", "--onlyvisible", "--name", ".") or "").split()
        return [str(w) for w in ids if self.viewable(w) and self.title(w) == title]

    def wait_window(self, title, timeout=15, other_than=()):
        found = wait_for(lambda: [w for w in self.windows(title) if w not in other_than], timeout)
        return found[0] if found else None

    def geometry(self, window):
        """x, y, width, height of its client area on screen."""
        info = self.x("xwininfo", "-id", window) or ""
        return tuple(int(re.search(rf"{key}:\s*(-?\d+)", info).group(1)) if key in info else -1
                     for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def frame(self, window):
        """x, y, width, height with the window manager's frame."""
        x, y, w, h = self.geometry(window)
        found = re.search(r"= (\d+), (\d+), (\d+), (\d+)", self.x("xprop", "-id", window, "_NET_FRAME_EXTENTS") or "")
        left, right, top, bottom = map(int, found.groups()) if found else (0, 0, 0, 0)
        return (x - left, y - top, w + left + right, h + top + bottom)

    def stacking(self):
        """The window manager's clients, bottom to top."""
        return [int(w, 16) for w in re.findall(r"0x\w+", self.x("xprop", "-root", "_NET_CLIENT_LIST_STACKING") or "")]

    def on_top(self, window):
        """The uppermost client, with the focus."""
        return self.stacking()[-1:] == [int(window)] == [int(self.x("xdotool", "getactivewindow") or 0)]

    def click(self, x, y, window=None, repeat=1):
        """At x, y on the screen or in the window."""
        left, top, _, _ = self.geometry(window) if window else (0, 0, 0, 0)
        self.x("xdotool", "mousemove", left + x, top + y, "click", "--repeat", repeat, "--delay", 80, 1)

    def key(self, *keys, window=None):
        if window:
            self.x("xdotool", "windowactivate", "--sync", window)
        self.x("xdotool", "key", "--delay", 60, *keys)

    def copied(self, text, *keys, window=None):
        """Whether the keys, then ctrl+c, copy the text: then the program has taken every event sent to it before."""
        self.key(*keys, "ctrl+c", window=window)
        return wait_for(lambda: self.clipboard() == text, 5)

    def answer_box(self, main, timeout=10):
        """OK in a message box titled ポトラ other than Main; the box, once it has gone."""
        if box := self.wait_window("ポトラ", timeout, other_than=(main,)):
            self.key("Return", window=box)
        return box if box and wait_for(lambda: not self.viewable(box), 5) else None

    def options(self, main, *places):
        """The options window, opened by Main's オプション (1560, 0 twips), clicked at each place in it."""
        self.click(144, 12, main)
        window = self.wait_window("オプション")
        for x, y in places:
            self.click(x, y, window)
        return window

    def tray_icons(self):
        tree = (self.x("xwininfo", "-root", "-tree") or "").splitlines()
        name = self.tray_class
        return [line.split()[0] for i, line in enumerate(tree)
                if f'("{name}" "{name}")' in line and '"YXTrayEmbedder"' in "".join(tree[max(0, i - 2):i])]

    def cover(self):
        """Another program's window over the upper left, on top."""
        self.covering = self.spawn("xmessage", "-geometry", "900x700+0+0", "cover")
        found = wait_for(lambda: [w for w in (self.x("xdotool", "search", "--onlyvisible", "--class", "xmessage") or "").split()
                                  if self.on_top(w)], 5)
        return found[-1] if found else None

    def uncover(self):
        self.stop(self.covering)
