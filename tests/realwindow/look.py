#!/usr/bin/env python3
"""The desktop's colours and a font other than the designed one, as pixels on the screen: what the program draws on
backgrounds of its own reads at 4.5:1 under Breeze Dark and after the scheme changes while it runs; the window buttons'
captions keep clear of their edges, also scaled."""

import rw
from rw import CLOCK, EXTRA, HEADING, PAGE1, check, text_value

NOTE = (10, 218, 445, 37)  # inside the position editor's red note


def scheme(window, text, view, view_text):
    """A colour scheme in kdeglobals, as Qt's KDE theme reads it."""
    group = lambda name, bg, fg: f"[Colors:{name}]\nBackgroundNormal={','.join(map(str, bg))}\nForegroundNormal={','.join(map(str, fg))}\n"
    return "[General]\nColorScheme=Test\n" + group("Window", window, text) + group("View", view, view_text) + \
        group("Button", window, text) + group("Selection", (61, 174, 233), (252, 252, 252))


DARK = scheme((32, 35, 38), (252, 252, 252), (27, 30, 32), (252, 252, 252))  # Breeze Dark's
NAVY = scheme((239, 240, 241), (0, 0, 60), (252, 252, 252), (0, 0, 60))


def switch(kdeglobals):
    """As the desktop changes its scheme: kdeglobals, then the portal's signal that Qt's KDE theme listens to."""
    (desk.home / ".config/kdeglobals").write_text(kdeglobals)
    desk.x("dbus-send", "--session", "--type=signal", "/org/freedesktop/portal/desktop",
           "org.freedesktop.portal.Settings.SettingChanged", "string:org.kde.kdeglobals.General", "string:ColorScheme",
           "variant:string:Test")


with rw.Desktop() as desk:
    rw.need("dbus-x11", "dbus-daemon", "dbus-send")
    check("a session bus", desk.session_bus())
    (desk.home / ".config/kdeglobals").write_text(DARK)
    desk.plant("set/memo.txt", text_value("ページ1のメモ"))
    program, main = desk.start_main({"XDG_CURRENT_DESKTOP": "KDE", "KDE_SESSION_VERSION": "5"})
    check("Main drawn in Breeze Dark", desk.background(main, EXTRA, (27, 30, 32)))
    desk.readable(main, "page 1 under Breeze Dark", PAGE1)
    desk.readable(main, "the clock under Breeze Dark", CLOCK)
    desk.click(104, 34, main)
    overview = desk.wait_window("タイマーメモ")
    check("the timer memo overview drawn", desk.background(overview, HEADING, (255, 255, 255)))
    desk.readable(overview, "the overview's heading under Breeze Dark", HEADING)

    switch(NAVY)
    check("a scheme with navy text follows while the program runs", desk.background(main, EXTRA, (252, 252, 252)))
    ink = desk.readable(main, "page 1 under navy text", PAGE1)
    check("page 1 keeps the desktop's navy, which reads on it", ink[2] > ink[0] + 20)
    desk.readable(main, "the clock under navy text", CLOCK)
    desk.readable(overview, "the overview's heading under navy text", HEADING)

    desk.click(250, 12, main)
    editor = desk.wait_window("ポトラ", other_than=(main,))
    check("the position editor's note stands on the desktop's navy", desk.background(editor, NOTE, (0, 0, 60)))
    desk.readable(editor, "the red note on navy", NOTE)
    switch(DARK)
    check("under Breeze Dark it turns to black, as red cannot be read on near-white", desk.background(editor, NOTE, (0, 0, 0)))
    desk.readable(editor, "the red note under Breeze Dark", NOTE)
    desk.stop(program)

    for scale in (1, 1.5):  # under the default colours, whose button faces are plain
        program, main = desk.start_main({"QT_SCALE_FACTOR": str(scale)})
        check(f"Main drawn at scale {scale}", desk.background(main, tuple(round(v * scale) for v in EXTRA), (255, 255, 255)))
        desk.captions_clear(main, scale)
        desk.stop(program)
