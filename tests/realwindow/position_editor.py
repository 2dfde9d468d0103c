#!/usr/bin/env python3
"""The position editor under a real window manager: its frame opens at Main's saved
outer geometry, a window too short is refused, Alt+F4 ignored, and "元にもどす" brings
Main back without a frame exactly where the user moved and sized the editor."""

import time

import rw
from rw import check, text_value

with rw.Desktop() as desk:
    desk.place_main()
    _, main = desk.start_main()
    desk.click(100 + 250, 50 + 12)  # 位置・サイズ変更: 3000, 0 twips
    editor = desk.wait_window("ポトラ", other_than=(main,))
    check("Main goes while the editor is open", rw.wait_for(lambda: not desk.viewable(main), 5))
    time.sleep(1)
    check(f"the editor's frame lies at 100,50 500x400 ({desk.frame(editor)})",
          desk.frame(editor) == (100, 50, 500, 400) != desk.geometry(editor))
    desk.x("xdotool", "windowsize", editor, 500, 150)
    check("a window too short is refused with a message, and the editor is back at 100,50 500x400",
          desk.answer_box(editor) and rw.wait_for(lambda: desk.frame(editor) == (100, 50, 500, 400), 2))
    desk.key("alt+F4", window=editor)
    check("Alt+F4 leaves the editor open", desk.viewable(editor))

    x, y, _, _ = desk.frame(editor)  # moved by its title bar and made larger
    desk.x("xdotool", "mousemove", x + 60, y + 8, "mousedown", 1, "sleep", 0.2, "mousemove", x + 90, y + 38,
           "sleep", 0.2, "mousemove", x + 140, y + 88, "sleep", 0.2, "mouseup", 1)
    desk.x("xdotool", "windowsize", editor, 560, 330)
    time.sleep(0.7)
    x, y, w, h = desk.frame(editor)
    check(f"the drag moved the editor without a message ({x} {y} {w} {h})", (x, y) != (100, 50) and desk.windows("ポトラ") == [editor])
    cx, cy, _, _ = desk.geometry(editor)
    desk.click(cx + w // 2, cy + h // 2)  # "元にもどす" is centred on the outer size
    main = desk.wait_window("ポトラ", other_than=(editor,))
    time.sleep(0.7)
    check(f"the editor closes, Main maps at its outer geometry without a frame ({desk.geometry(main)})",
          not desk.viewable(editor) and desk.geometry(main) == (x, y, w, h))
    check("the geometry is stored in twips", [desk.value(f"set/{n}.txt") for n in ("Left", "Top", "Width", "Height")]
          == [text_value(str(v * 15)) for v in (x, y, w, h)])
rw.finish()
