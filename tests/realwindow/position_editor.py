#!/usr/bin/env python3
"""The position and size editor under a real window manager: it opens with its
frame at Main's saved outer geometry, refuses a window too short, ignores
Alt+F4, and "元にもどす" brings Main back, without a frame, exactly where the
user moved and sized the editor."""

import sys
import time

import rw
from rw import check, text_value

with rw.Desktop(sys.argv[1]) as desk:
    for name, twips in (("Left", 1500), ("Top", 750), ("Width", 7500), ("Height", 6000)):
        desk.plant(f"set/{name}.txt", text_value(str(twips)))
    desk.start()
    main = desk.wait_window("ポトラ")
    desk.click(100 + 250, 50 + 12)  # 位置・サイズ変更: 3000, 0 twips
    editor = desk.wait_window("ポトラ", other_than=(main,))
    check("Main goes while the editor is open", rw.wait_for(lambda: not desk.viewable(main), 5))
    time.sleep(1)
    check(f"the editor's frame lies at 100,50 500x400 ({desk.frame(editor)})",
          desk.frame(editor) == (100, 50, 500, 400) and desk.geometry(editor) != desk.frame(editor))
    desk.screenshot("editor")

    desk.x("xdotool", "windowsize", editor, 500, 150)
    box = desk.wait_window("ポトラ", other_than=(editor,))
    check("a window too short is refused with a message", box)
    desk.screenshot("editor-message")
    desk.key("Return", window=box)
    time.sleep(0.5)
    check(f"then the editor is back at 100,50 500x400 ({desk.frame(editor)})", desk.frame(editor) == (100, 50, 500, 400))

    desk.key("alt+F4", window=editor)
    check("Alt+F4 leaves the editor open", desk.viewable(editor))

    # Moved by its title bar and made larger, as a user would.
    x, y, _, _ = desk.frame(editor)
    desk.x("xdotool", "mousemove", x + 60, y + 8, "mousedown", 1)
    for step in (30, 80):
        time.sleep(0.2)
        desk.x("xdotool", "mousemove", x + 60 + step, y + 8 + step)
    desk.x("xdotool", "mouseup", 1)
    time.sleep(0.5)
    desk.x("xdotool", "windowsize", editor, 560, 330)
    time.sleep(0.7)
    x, y, w, h = desk.frame(editor)
    check(f"the drag moved the editor without a message ({x} {y} {w} {h})",
          (x, y) != (100, 50) and len(desk.windows("ポトラ")) == 1)

    # "元にもどす" is centred on the outer size.
    cx, cy, _, _ = desk.geometry(editor)
    desk.click(cx + w // 2, cy + h // 2)
    main = desk.wait_window("ポトラ", other_than=(editor,))
    time.sleep(0.7)
    check("the editor closed", not desk.viewable(editor))
    check(f"Main maps at the editor's outer geometry, without a frame ({desk.geometry(main)})",
          desk.geometry(main) == (x, y, w, h))
    check("the geometry is stored in twips",
          [desk.value(f"set/{n}.txt") for n in ("Left", "Top", "Width", "Height")]
          == [text_value(str(v * 15)) for v in (x, y, w, h)])
    desk.screenshot("main-moved")
rw.finish()
