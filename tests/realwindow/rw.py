"""What the real-window tests share: a private X display with the icewm
window manager (it has a system tray), a copy of the built program folder in
a folder whose path has a space, as users' may, and xdotool and xprop to see
and drive windows as a person would.

    with rw.Desktop(sys.argv[1]) as desk:
        program = desk.start()
        main = desk.wait_window("ポトラ")
        rw.check("...", condition)
    rw.finish()
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

_failed = False


def check(what, ok):
    global _failed
    print(("ok: " if ok else "FAIL: ") + what, flush=True)
    _failed = _failed or not ok
    return ok


def skip(why):
    print("skip: " + why, flush=True)
    sys.exit(77)


def need(packages, *tools):
    """A missing tool skips the test for a user who cannot install it; as
    root scripts/deps.sh --test has installed it, so then it is a failure."""
    missing = [t for t in tools if not (shutil.which(t) or os.path.exists(t))]
    if missing and os.geteuid() != 0:
        skip(f"{', '.join(missing)} missing: apt-get install {packages}")
    if missing:
        raise SystemExit(f"{', '.join(missing)} missing though scripts/deps.sh --test ran as root")


def finish():
    print("real-window test " + ("failed" if _failed else "passed"), flush=True)
    sys.exit(1 if _failed else 0)


def run(*args, env=None, timeout=30):
    """The command's output; empty when it fails."""
    try:
        done = subprocess.run([str(a) for a in args], env=env, timeout=timeout, text=True,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return done.stdout if done.returncode == 0 else ""
    except (OSError, subprocess.TimeoutExpired):
        return ""


def text_value(text):
    """The bytes of a text value file holding `text` (Shift-JIS, CR LF)."""
    return b'"' + text.replace("\n", "\r\n").encode("cp932") + b'"\r\n'


def wait_for(condition, timeout=10.0, step=0.1):
    end = time.monotonic() + timeout
    while True:
        result = condition()
        if result or time.monotonic() > end:
            return result
        time.sleep(step)


class Desktop:
    def __init__(self, built, size="1024x768"):
        need("xvfb icewm xdotool x11-utils", "Xvfb", "icewm", "xdotool", "xprop", "xwininfo",
             "xdpyinfo", "xmessage")
        self.tmp = Path(tempfile.mkdtemp())
        self.app = self.tmp / "ポトラ folder"
        shutil.copytree(built, self.app, symlinks=True)
        self.home = self.tmp / "home"
        self.env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        for name, sub in (("HOME", ""), ("XDG_CONFIG_HOME", ".config"), ("XDG_DATA_HOME", ".local/share"),
                          ("XDG_CACHE_HOME", ".cache"), ("XDG_RUNTIME_DIR", "run")):
            path = self.home / sub
            path.mkdir(parents=True, exist_ok=True)
            self.env[name] = str(path)
        os.chmod(self.env["XDG_RUNTIME_DIR"], 0o700)
        self.processes, self.mounts, self.program_logs = [], [], []
        number = next(n for n in range(90, 200)
                      if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"))
        self.env["DISPLAY"] = f":{number}"
        # -noreset: by default the server resets when its last client leaves,
        # and a client connecting during the reset is refused.
        self.spawn("Xvfb", self.env["DISPLAY"], "-screen", "0", size + "x24", "-nolisten", "tcp", "-noreset")
        if not wait_for(lambda: run("xdpyinfo", env=self.env), 10):
            raise SystemExit("Xvfb did not start")
        self.start_wm()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.kill()
            process.wait()
        for mount in self.mounts:
            subprocess.run(["umount", "-l", mount], stderr=subprocess.DEVNULL)
        # A sanitizer build reports into the program's output.
        for log in self.program_logs:
            text = log.read_text(errors="replace") if log.exists() else ""
            if re.search(r"AddressSanitizer|runtime error:", text):
                check(f"no sanitizer report in {log.name}", False)
                print(text[-3000:])
        shutil.rmtree(self.tmp, ignore_errors=True)
        return False

    # --- processes ------------------------------------------------------

    def spawn(self, *args, env=None, log=None, cwd="/"):
        out = open(log, "ab") if log else subprocess.DEVNULL
        process = subprocess.Popen([str(a) for a in args], env=env or self.env, cwd=cwd,
                                   stdout=out, stderr=subprocess.STDOUT if log else subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def start(self, *args, env=None, program=None):
        """Starts the program from a folder other than its own."""
        log = self.tmp / f"program-{len(self.program_logs) + 1}.log"
        self.program_logs.append(log)
        process = self.spawn(program or self.app / "potora", *args, env={**self.env, **(env or {})}, log=log)
        process.log = log
        return process

    def stop(self, process, sig=signal.SIGTERM, timeout=10):
        """Ends a process (or, with no signal, waits for it to end); its exit
        status, or None if it did not end."""
        if sig and process.poll() is None:
            process.send_signal(sig)
        try:
            return process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def faketime(self, **settings):
        """Environment that runs the program on a clock of libfaketime's."""
        library = next(Path("/usr/lib").glob("*/faketime/libfaketime.so.1"), None)
        if library is None:
            skip("libfaketime missing: apt-get install faketime")
        return {"LD_PRELOAD": str(library), **settings}

    def start_wm(self):
        self.wm = self.spawn("icewm", log=self.tmp / "icewm.log")
        # The check window outlives a window manager that was stopped, so
        # icewm's own windows must be there as well.
        up = wait_for(lambda: self.wm_running() and run("xdotool", "search", "--class", "icewm", env=self.env), 10)
        if not up:
            raise SystemExit("icewm did not start: " + (self.tmp / "icewm.log").read_text(errors="replace"))
        time.sleep(0.5)

    def stop_wm(self):
        self.wm.terminate()
        self.wm.wait()

    def wm_running(self):
        check_window = re.search(r"window id # (\w+)", run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", env=self.env))
        return bool(check_window and run("xwininfo", "-id", check_window.group(1), env=self.env))

    # --- windows --------------------------------------------------------

    def x(self, *args):
        return run(*args, env=self.env)

    def title(self, window):
        """The title a desktop shows: _NET_WM_NAME, else WM_NAME."""
        found = re.search(r'= "(.*)"$', self.x("xprop", "-id", window, "_NET_WM_NAME").strip())
        return found.group(1) if found else self.x("xdotool", "getwindowname", window).strip()

    def viewable(self, window):
        return "IsViewable" in self.x("xwininfo", "-id", window)

    def windows(self, title):
        """Windows on screen titled exactly that. With a window manager these
        are its clients, so that the tray icon's own window is not one."""
        if self.wm_running():
            clients = self.x("xprop", "-root", "_NET_CLIENT_LIST").partition("#")[2]
            candidates = [str(int(w, 16)) for w in clients.replace(",", " ").split()]
        else:
            candidates = self.x("xdotool", "search", "--onlyvisible", "--name", ".").split()
        return [w for w in candidates if self.viewable(w) and self.title(w) == title]

    def wait_window(self, title, timeout=15, other_than=()):
        found = wait_for(lambda: [w for w in self.windows(title) if w not in other_than], timeout)
        return found[0] if found else None

    def geometry(self, window):
        """x, y, width, height of the window's client area on screen."""
        info = self.x("xwininfo", "-id", window)
        keys = ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")
        values = dict(re.findall(r"^\s*(Absolute upper-left [XY]|Width|Height):\s*(-?\d+)", info, re.M))
        return tuple(int(values.get(k, -1)) for k in keys)

    def frame(self, window):
        """x, y, width, height of the window with its frame."""
        x, y, w, h = self.geometry(window)
        extents = re.search(r"= (\d+), (\d+), (\d+), (\d+)", self.x("xprop", "-id", window, "_NET_FRAME_EXTENTS"))
        left, right, top, bottom = map(int, extents.groups()) if extents else (0, 0, 0, 0)
        return (x - left, y - top, w + left + right, h + top + bottom)

    def on_top(self, window):
        """The window is the uppermost client and has the focus."""
        stacking = self.x("xprop", "-root", "_NET_CLIENT_LIST_STACKING").partition("#")[2].replace(",", " ").split()
        active = self.x("xdotool", "getactivewindow").strip()
        return bool(stacking) and int(stacking[-1], 16) == int(window) and active == str(window)

    def click(self, x, y, button=1, repeat=1):
        self.x("xdotool", "mousemove", x, y, "click", "--repeat", repeat, "--delay", 80, button)
        time.sleep(0.3)

    def click_in(self, window, x, y):
        left, top, _, _ = self.geometry(window)
        self.click(left + x, top + y)

    def key(self, *keys, window=None):
        if window:
            self.x("xdotool", "windowactivate", "--sync", window)
        self.x("xdotool", "key", "--delay", 60, *keys)
        time.sleep(0.3)

    def type(self, text):
        self.x("xdotool", "type", "--delay", 60, text)
        time.sleep(0.4)

    def answer_box(self, main, timeout=10):
        """Presses OK in a message box titled ポトラ other than Main; its id."""
        box = self.wait_window("ポトラ", timeout, other_than=(main,))
        if box:
            self.key("Return", window=box)
        return box

    def tray_icons(self):
        tree = self.x("xwininfo", "-root", "-tree").splitlines()
        return [line.split()[0] for i, line in enumerate(tree) if '("potora" "potora")' in line
                and any('"YXTrayEmbedder"' in above for above in tree[max(0, i - 2):i])]

    def cover(self):
        """Another program's window over the upper left, on top; its id."""
        self.spawn("xmessage", "-geometry", "900x700+0+0", "cover")
        cover = wait_for(lambda: [w for w in self.x("xdotool", "search", "--onlyvisible", "--class", "xmessage")
                                  .split() if self.on_top(w)], 5)
        return cover[-1] if cover else None

    def uncover(self):
        for process in self.processes:
            if process.args[0] == "xmessage" and process.poll() is None:
                process.terminate()
                process.wait()
        time.sleep(0.3)

    def screenshot(self, name):
        self.x("import", "-window", "root", self.tmp.parent / f"potora-{name}.png")

    # --- the data folder ------------------------------------------------

    def value(self, relative):
        path = self.app / relative
        return path.read_bytes() if path.is_file() else None

    def plant(self, relative, data):
        path = self.app / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
