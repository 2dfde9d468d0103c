"""Round after round, starts ポトラ, types into a memo page and the extra memo
as a user would, and kills the program with SIGKILL at a random moment. After
every kill the data folder must hold whole value files only, each memo a text
that was on screen (never one older than a text already seen on disk), its
backup the text one keystroke earlier or the same, and the next start must
come up without an error box and with nothing on stderr.

Run by crash_storm.sh after it has set up the X display; arguments are the
copied program folder and a scratch folder. CRASH_ROUNDS and CRASH_SEED
change the number of rounds and replay a run."""

import os
import random
import re
import signal
import subprocess
import sys
import threading
import time

APP, SCRATCH = sys.argv[1], sys.argv[2]
ROUNDS = int(os.environ.get("CRASH_ROUNDS", "80"))
SEED = int(os.environ.get("CRASH_SEED", str(time.time_ns() % 1_000_000)))

# The data folder's value files: 11 memos with their backups, the active
# page, the saved geometry, three timer memos of four files each, and the
# start-up memo with its flag.
MEMOS = ["set/memo.txt"] + [f"set/memo{n}.txt" for n in range(2, 12)]
BACKUPS = ["set/memoX.txt"] + [f"set/memo{n}X.txt" for n in range(2, 12)]
CHANGE = "set/Change.txt"
INTEGERS = [CHANGE, "Timer/true1.txt", "Timer/true2.txt", "Timer/true3.txt", "Timer/startup.txt"]
TEXTS = MEMOS + BACKUPS + ["set/Left.txt", "set/Top.txt", "set/Width.txt", "set/Height.txt", "Timer/memo4.txt"]
TEXTS += [f"Timer/memo{n}{s}.txt" for n in (1, 2, 3) for s in ("", "-2", "-3")]
SHIPPED = {"set/icon.ico", "set/icon.png"}
assert len(INTEGERS) + len(TEXTS) == 41

# Main's controls in pixels from its top left corner.
PAGE_BUTTONS = {1: (312, 0), 2: (344, 0), 3: (376, 0), 4: (408, 0), 5: (440, 0),
                6: (312, 32), 7: (344, 32), 8: (376, 32), 9: (408, 32), 10: (440, 32)}
PAGE_BOX_TOP = 140
EXTRA_TOP = 56
BIG_PAGE = 2  # holds a long Japanese text, so that every keystroke is a long write

# stderr lines of Qt that say nothing about the program.
KNOWN_NOISE = [re.compile(p) for p in (r"^QStandardPaths: XDG_RUNTIME_DIR",)]


class Failure(Exception):
    pass


def path(rel):
    return os.path.join(APP, rel)


def read_bytes(rel):
    with open(path(rel), "rb") as f:
        return f.read()


def parse(rel):
    """The value a file holds, read by its byte form alone; Failure when it
    is not one whole item."""
    try:
        data = read_bytes(rel)
    except OSError as e:
        raise Failure(f"{rel}: cannot be read ({e})")
    if rel in INTEGERS:
        if not re.fullmatch(rb"-?[0-9]+\r\n", data):
            raise Failure(f"{rel}: not an integer item: {data[:60]!r}")
        return data[:-2].decode("ascii")
    bom = data.startswith(b"\xef\xbb\xbf")
    body = data[3:] if bom else data
    if len(body) < 4 or not body.startswith(b'"') or not body.endswith(b'"\r\n'):
        raise Failure(f"{rel}: not a whole text item ({len(data)} bytes): {data[:60]!r}...{data[-20:]!r}")
    try:
        text = body[1:-3].decode("utf-8" if bom else "cp932")
    except UnicodeDecodeError as e:
        raise Failure(f"{rel}: bytes outside its encoding: {e}")
    return text.replace("\r\n", "\n")


def stored_bytes(text):
    return b'"' + text.replace("\n", "\r\n").encode("cp932") + b'"\r\n'


def sh(*args, check=True):
    result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    if check and result.returncode != 0:
        raise Failure(f"{' '.join(args)} failed")
    return result.stdout


def windows_named_potora():
    """Windows on screen titled ポトラ, among the window manager's clients
    (the tray icon's own window carries the name too)."""
    clients = sh("xprop", "-root", "_NET_CLIENT_LIST", check=False).partition("#")[2]
    found = []
    for window in clients.replace(",", " ").split():
        state = sh("xwininfo", "-id", window, check=False)
        title = sh("xprop", "-id", window, "_NET_WM_NAME", check=False)
        if "IsViewable" in state and title.strip().endswith('= "ポトラ"'):
            found.append(str(int(window, 16)))
    return found


def wait_main(proc, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if proc.poll() is not None:
            raise Failure(f"the program ended at start with status {proc.returncode}")
        ids = windows_named_potora()
        if ids:
            # A message box carries the same title; Main has its stored width.
            width = geometry(ids[0])[2]
            expected = round(float(parse("set/Width.txt")) / 15)
            if width != expected:
                raise Failure(f"a window {width} pixels wide came up at start instead of Main "
                              f"({expected} pixels): a message box?")
            return ids[0]
        time.sleep(0.05)
    raise Failure("Main did not map")


def geometry(window):
    out = sh("xdotool", "getwindowgeometry", "--shell", window)
    values = dict(line.split("=") for line in out.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"])


def click(x, y):
    sh("xdotool", "mousemove", str(x), str(y), "click", "1")


class History:
    """The texts a memo went through in order: states[lo] is the newest one
    known to be on disk, every later one a keystroke sent after it."""

    def __init__(self, text, backup):
        self.states = [backup, text]
        self.lo = 1

    def apply(self, key):
        text = self.states[-1]
        if key == "BackSpace":
            if not text:
                return  # nothing to take away: no change, no write
            text = text[:-1]
        elif key == "Return":
            text += "\n"
        elif key == "space":
            text += " "
        else:
            text += key
        self.states.append(text)

    def find(self, text, what):
        """Where in the history the text can be, latest first (a BackSpace
        can bring a text back)."""
        found = [i for i in range(len(self.states) - 1, self.lo - 1, -1) if self.states[i] == text]
        if not found:
            older = " (an older text)" if text in self.states else ""
            raise Failure(f"{what} holds a text that was not on screen at that point{older}: "
                          f"{len(text)} characters ending {text[-20:]!r}")
        return found

    def settle(self, i):
        """The file is at states[i]: keep it and the one before as the base."""
        self.states = self.states[i - 1:i + 1]
        self.lo = 1


class Storm:
    def __init__(self):
        self.rng = random.Random(SEED)
        self.rounds = self.kills = self.files_checked = self.starts = 0
        self.long_writes = 0
        self.temps_left = 0
        self.failures = []

    # --- the data folder -------------------------------------------------

    def prepare(self):
        """A first start lays the folder out; then page 1 gets two lines
        and the big page a long Japanese text, each with its backup."""
        proc = self.start()
        wait_main(proc)
        proc.terminate()
        proc.wait()
        line = "今日の予定：会議と買い物、夕方に電話。"
        big = "\n".join(f"{n:05d} {line}" for n in range(4000))
        for page, text in ((1, "first line\nsecond"), (BIG_PAGE, big)):
            for rel in (MEMOS[page - 1], BACKUPS[page - 1]):
                with open(path(rel), "wb") as f:
                    f.write(stored_bytes(text))
        self.memos = {rel: History(parse(rel), parse(BACKUPS[i])) for i, rel in enumerate(MEMOS)}
        self.page = History(parse(CHANGE), parse(CHANGE))
        self.fixed = {rel: read_bytes(rel) for rel in INTEGERS + TEXTS if rel not in MEMOS + BACKUPS + [CHANGE]}

    def check_folder(self, round_no):
        for folder in ("set", "Timer"):
            for name in os.listdir(path(folder)):
                rel = f"{folder}/{name}"
                if rel in INTEGERS or rel in TEXTS or rel in SHIPPED:
                    continue
                # A replace cut short by the kill leaves its temporary file
                # beside the value file; the next start removes it (checked
                # after the last start).
                if rel.endswith(".potora-tmp") and rel[:-len(".potora-tmp")] in INTEGERS + TEXTS:
                    self.temps_left += 1
                    continue
                raise Failure(f"a stray file {rel} after round {round_no}")
        for rel in INTEGERS + TEXTS:
            parse(rel)
            self.files_checked += 1
        for rel, data in self.fixed.items():
            if read_bytes(rel) != data:
                raise Failure(f"{rel} changed, though nothing was meant to write it")
        for i, rel in enumerate(MEMOS):
            history = self.memos[rel]
            backup = parse(BACKUPS[i])
            paired = [at for at in history.find(parse(rel), rel)
                      if backup in (history.states[at - 1], history.states[at])]
            if not paired:
                raise Failure(f"{BACKUPS[i]} does not pair with {rel}: backup of {len(backup)} characters "
                              f"ending {backup[-20:]!r}, memo ending {parse(rel)[-20:]!r}")
            at = paired[0]
            history.settle(at)
        self.page.settle(self.page.find(parse(CHANGE), CHANGE)[0])

    # --- one run of the program -----------------------------------------

    def start(self):
        self.starts += 1
        self.log = os.path.join(SCRATCH, f"program-{self.starts}.log")
        with open(self.log, "wb") as out:
            return subprocess.Popen([path("potora")], cwd="/", stdout=out, stderr=subprocess.STDOUT)

    def check_log(self):
        with open(self.log, encoding="utf-8", errors="replace") as f:
            lines = [l.rstrip("\n") for l in f if l.strip()]
        noise = [l for l in lines if not any(p.search(l) for p in KNOWN_NOISE)]
        if noise:
            raise Failure("the program wrote to stderr: " + " | ".join(noise[:5]))

    def observe(self):
        """What is on disk right now bounds what may be there after the kill."""
        for rel in [MEMOS[self.current_page() - 1], MEMOS[10]]:
            history = self.memos[rel]
            try:
                history.lo = history.find(parse(rel), rel)[-1]
            except Failure as e:
                self.failures.append(f"before a kill: {e}")
        self.page.lo = self.page.find(parse(CHANGE), CHANGE)[-1]

    def current_page(self):
        return int(self.page.states[-1])

    def kill_at(self, proc, seconds):
        def kill():
            if proc.poll() is None:
                try:
                    self.observe()
                except Failure as e:
                    self.failures.append(f"before a kill: {e}")
                proc.send_signal(signal.SIGKILL)
        timer = threading.Timer(seconds, kill)
        timer.start()
        return timer

    def type_keys(self, history, keys, delay_ms):
        for key in keys:
            history.apply(key)
        # Left to finish even when the program is gone: a typist killed
        # between a key's press and release leaves the key held down, and
        # its repeats would land in the next start.
        subprocess.run(["xdotool", "key", "--delay", str(delay_ms)] + keys, stderr=subprocess.DEVNULL)

    def round(self, round_no):
        rng = self.rng
        proc = self.start()
        if rng.random() < 0.15:
            # Killed while it starts, before or while its window comes up.
            timer = self.kill_at(proc, rng.uniform(0.0, 0.8))
        else:
            main = wait_main(proc)
            time.sleep(0.3)
            if len(windows_named_potora()) != 1:
                raise Failure(f"round {round_no}: a box came up at start")
            self.check_log()
            x, y, width = geometry(main)
            keys1 = self.keys(rng.randint(5, 25))
            keys2 = self.keys(rng.randint(3, 15))
            delay = rng.choice((4, 8, 15))
            planned = 0.4 + (len(keys1) + len(keys2)) * (delay + 3) / 1000
            timer = self.kill_at(proc, rng.uniform(0.0, planned))

            if rng.random() < 0.4:
                page = rng.choice([p for p in list(range(1, 11)) + [BIG_PAGE] * 3 if p != self.current_page()])
                bx, by = PAGE_BUTTONS[page]
                self.page.states.append(str(page))
                click(x + bx + 12, y + by + 12)
            if self.current_page() == BIG_PAGE:
                self.long_writes += len(keys1)
            steps = [(PAGE_BOX_TOP + 60, self.memos[MEMOS[self.current_page() - 1]], keys1),
                     (EXTRA_TOP + 30, self.memos[MEMOS[10]], keys2)]
            for top, history, keys in steps:
                if proc.poll() is not None:
                    break
                click(x + width // 2, y + top)
                sh("xdotool", "key", "ctrl+End")
                self.type_keys(history, keys, delay)
            # The kill may come at any moment, so only more than one counts.
            if len(windows_named_potora()) > 1:
                raise Failure(f"round {round_no}: a box came up while typing")
        timer.join()
        if proc.poll() is None:
            proc.send_signal(signal.SIGKILL)  # typing ended before the planned moment
        status = proc.wait()
        if status != -signal.SIGKILL:
            raise Failure(f"round {round_no}: the program ended with status {status}, not by the kill")
        self.kills += 1
        self.check_log()
        if self.failures:
            raise Failure(f"round {round_no}: " + "; ".join(self.failures))
        self.check_folder(round_no)
        self.rounds += 1

    def keys(self, n):
        letters = "abcdefghijklmnopqrstuvwxyz0123456789"
        out = []
        for _ in range(n):
            r = self.rng.random()
            out.append("BackSpace" if r < 0.1 else "Return" if r < 0.15 else "space" if r < 0.25
                       else self.rng.choice(letters))
        return out

    def final_start(self):
        """A last start without a kill: it shows the texts the files hold."""
        proc = self.start()
        main = wait_main(proc)
        time.sleep(0.3)
        if len(windows_named_potora()) != 1:
            raise Failure("the last start brought up a box")
        x, y, width = geometry(main)
        page_memo = MEMOS[self.current_page() - 1]
        for top, rel in ((PAGE_BOX_TOP + 60, page_memo), (EXTRA_TOP + 30, MEMOS[10])):
            click(x + width // 2, y + top)
            sh("xdotool", "key", "ctrl+a", "ctrl+c")
            time.sleep(0.3)
            shown = sh("xclip", "-o", "-selection", "clipboard", check=False)
            if shown != parse(rel):
                raise Failure(f"the last start shows {len(shown)} characters in the box of {rel}, "
                              f"the file holds {len(parse(rel))}")
        self.check_log()
        proc.terminate()
        proc.wait()
        for folder in ("set", "Timer"):
            for name in os.listdir(path(folder)):
                rel = f"{folder}/{name}"
                if not (rel in INTEGERS or rel in TEXTS or rel in SHIPPED):
                    raise Failure(f"{rel} is still there after a clean start")


def main():
    storm = Storm()
    print(f"seed {SEED} (CRASH_SEED={SEED} replays it), {ROUNDS} rounds", flush=True)
    started = time.monotonic()
    try:
        storm.prepare()
        for round_no in range(1, ROUNDS + 1):
            storm.round(round_no)
        storm.final_start()
    except Failure as e:
        print(f"FAIL: {e}")
        print(f"rounds {storm.rounds}, kills {storm.kills}, files checked {storm.files_checked}")
        return 1
    print(f"rounds {storm.rounds}, kills {storm.kills}, starts {storm.starts}, files checked {storm.files_checked}, "
          f"keystrokes on the long page {storm.long_writes}, temporary files left by kills {storm.temps_left} (removed at the next start), "
          f"{time.monotonic() - started:.0f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
