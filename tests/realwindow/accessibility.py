#!/usr/bin/env python3
"""Every window as a screen reader reads it through AT-SPI: a distinct name for each control a user can reach."""

import importlib.util
import os
import sys

import rw
from rw import check, text_value

# Debian's pyatspi is built for Debian's own Python, which the python3 on the PATH need not be.
if not importlib.util.find_spec("pyatspi") and os.path.exists("/usr/bin/python3") and sys.executable != "/usr/bin/python3":
    os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
rw.need("at-spi2-core python3-pyatspi dbus-x11", LAUNCHER, "dbus-daemon", modules=("pyatspi",))

STARTUP_MEMO = "朝会は十時から"


def main_names(page):
    return [f"メモ {page}", "アクティブメモ", f"キャンセル（メモ {page}）", "キャンセル（アクティブメモ）", "位置・サイズ変更",
            "オプション", "タイマーメモ", "起動時メモ"] + [f"メモ {n} を表示" for n in range(1, 11) if n != page]


def editor_names(memo):
    return [f"{what}（メモ{memo}）" for what in ("メモ内容", "時", "分", "時を増やす", "時を減らす", "分を増やす", "分を減らす")] + ["OK", "キャンセル"]


# Windows opened by a button of Main (left, top in twips) or of the window before them, and the names of what
# can be reached in them.
OPENED = (
    ("オプション", "ポトラ", (1560, 0), ["ポトラの終了", "スタートアップに登録", "OK", "キャンセル", "ヘルプを見る"]),
    ("ポトラ ヘルプ", "オプション", (120, 1080), ["戻る", "目次へ", "ヘルプの本文"]),
    ("起動時メモ", "ポトラ", (3000, 480), ["メモ内容（起動時メモ）", "OK", "キャンセル"]),
    ("タイマーメモ", "ポトラ", (1560, 480), ["メモ1", "メモ2: 会議 資料を持参", "メモ3", "OK"] + [f"有効（メモ{n}）" for n in (1, 2, 3)]),
)
# The timer memo editors, opened from the overview by their memo's button and closed by their cancel (left, top).
EDITORS = ((1, "タイマーメモ(メモ1)", (5760, 2640)), (2, "タイマーメモ(メモ2)", (6000, 2640)), (3, "タイマーメモ（メモ3）", (6000, 2640)))


def click(window, twips):
    desk.click(twips[0] // 15 + 8, twips[1] // 15 + 8, window)


def walk(node):
    yield node
    for child in node:
        yield from walk(child)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def reachable(node):
    """Showing, and taking the focus (and so the keys) or a press. A page box beneath the page shown is showing to
    Qt, which knows no covering, and editable, but takes no focus."""
    try:
        action = node.queryAction()
        actions = {action.getName(i) for i in range(action.nActions)}
    except NotImplementedError:
        actions = set()
    return showing(node) and (node.getState().contains(pyatspi.STATE_FOCUSABLE) or bool(actions & {"Press", "Toggle"}))


def tree_window(name, role=None):
    """The program's showing window of that name (and role)."""
    return rw.wait_for(lambda: next((w for app in pyatspi.Registry.getDesktop(0) if app and app.name == "potora"
                                     for w in app if w.name == name and showing(w) and role in (None, w.getRole())), None), 10)


def reachable_names(window):
    return [node.name for node in walk(window) if reachable(node)] if window else []


def check_names(title, expected):
    window = tree_window(title)
    rw.wait_for(lambda: sorted(reachable_names(window)) == sorted(expected), 3)  # a click reaches the tree a moment later
    names = reachable_names(window)  # the expected names are distinct: equal, none is missing or there twice
    check(f"{title}: every control that can be reached has a name of its own, saying what and whose ({names})",
          sorted(names) == sorted(expected))
    return window


with rw.Desktop() as desk:
    desk.session_bus()
    # Qt joins the accessibility bus only once the session has one, as a desktop or Orca starts it.
    desk.spawn(LAUNCHER, "--launch-immediately")
    rw.wait_for(lambda: "AT_SPI_BUS(STRING)" in (desk.x("xprop", "-root", "AT_SPI_BUS") or ""), 5)
    os.environ.update(DISPLAY=desk.env["DISPLAY"], DBUS_SESSION_BUS_ADDRESS=desk.env["DBUS_SESSION_BUS_ADDRESS"])
    import pyatspi

    desk.plant("Timer/memo4.txt", text_value(STARTUP_MEMO))
    desk.plant("Timer/memo2.txt", text_value("会議\n資料を持参"))
    desk.plant("set/Change.txt", b"7\r\n")
    program, box = desk.start_main({"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
    check("the start-up memo's box is an alert named by the memo, as a screen reader announces it",
          tree_window(STARTUP_MEMO, pyatspi.ROLE_ALERT))
    desk.key("Return", window=box)
    main = desk.wait_window("ポトラ", other_than=(box,))

    window = check_names("ポトラ", main_names(7))
    labels = [node for node in walk(window) if node.getRole() == pyatspi.ROLE_LABEL] if window else []
    check(f"Main's three working labels are not showing, the clock's two are ({[n.name for n in labels]})",
          [showing(n) for n in labels].count(False) == 3 and len(labels) == 5)
    click(main, (5640, 0))  # page 3
    check_names("ポトラ", main_names(3))

    for title, opener, place, names in OPENED:
        click(desk.wait_window(opener), place)
        check_names(title, names)
    overview = desk.wait_window("タイマーメモ")
    for memo, title, cancel in EDITORS:
        click(overview, (120, 360 + 600 * (memo - 1)))
        check_names(title, editor_names(memo))
        click(desk.wait_window(title), cancel)
        rw.wait_for(lambda: not desk.windows(title), 5)

    click(main, (3000, 0))  # the position and size editor, in Main's place
    rw.wait_for(lambda: not desk.viewable(main), 5)
    check_names("ポトラ", ["元にもどす"])
