#!/usr/bin/env bash
# The tray icon sits in icewm's tray, stays one icon through the minute's
# re-add and a restart of the tray, and brings Main up on a left press
# only; Alt+F4 leaves Main open; without a tray Main still comes up.
source "$(dirname "$0")/lib.sh"
rw_setup "$1"

rw_start_fast
main=$(rw_wait_window ポトラ) || { rw_fail "Main did not map"; rw_finish; }
icon=$(rw_wait_tray_icon) || { rw_fail "no icon in the tray"; rw_finish; }
rw_check "one icon in the tray" test "$(rw_tray_icons | wc -l)" -eq 1
rw_check "the icon is named ポトラ" test "$(xprop -id "$icon" _NET_WM_NAME | sed 's/.* = //')" = '"ポトラ"'

# Three minutes of the program's clock: three start-up steps re-add the icon.
sleep 6
rw_check "the re-adds kept the same single icon" test "$(rw_tray_icons)" = "$icon"

click_icon() { xdotool mousemove --window "$icon" 12 12 click "$@"; sleep 0.7; }

rw_cover
click_icon 3
rw_check "a right press leaves Main covered" rw_on_top "$RW_COVER"
click_icon 2
rw_check "a middle press leaves Main covered" rw_on_top "$RW_COVER"
click_icon 1
rw_check "a left press raises and activates Main" rw_on_top "$main"
rw_uncover

rw_cover
click_icon --repeat 2 --delay 60 1
rw_check "a double click leaves Main up" rw_on_top "$main"
rw_check "and shown" rw_viewable "$main"
rw_uncover

xdotool windowminimize --sync "$main"
click_icon 1
rw_check "a left press restores a minimised Main" rw_viewable "$main"
rw_check "in front" rw_on_top "$main"

xdotool windowactivate --sync "$main"
xdotool key alt+F4
sleep 1
rw_check "Alt+F4 leaves Main open" rw_viewable "$main"
rw_check "the program still runs" kill -0 "$RW_PROGRAM_PID"
rw_check "and shows no box" test "$(rw_count ポトラ)" -eq 1
rw_check "the icon stays" test "$(rw_tray_icons)" = "$icon"

rw_stop_wm
rw_start_wm
icon=$(rw_wait_tray_icon 2) || rw_fail "the icon did not come back within a minute of the program's clock"
rw_check "one icon in the restarted tray" test "$(rw_tray_icons | wc -l)" -eq 1
click_icon 1
rw_check "the icon still brings Main up" rw_on_top "$main"

# No tray at all: nothing waits for one, and Main keeps a taskbar entry.
kill "$RW_PROGRAM_PID"; wait "$RW_PROGRAM_PID" 2>/dev/null || true
rw_stop_wm
rw_start_fast
main=$(rw_wait_window ポトラ 5) || rw_fail "Main did not come up without a tray"
rw_check "Main is not kept off the taskbar" \
  bash -c "! xprop -id $main _NET_WM_STATE _NET_WM_WINDOW_TYPE | grep -q -e SKIP_TASKBAR -e _NET_WM_WINDOW_TYPE_UTILITY"
rw_start_wm
rw_check "a tray that comes later gets the icon" rw_wait_tray_icon 5
rw_finish
