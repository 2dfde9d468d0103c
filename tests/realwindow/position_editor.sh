#!/usr/bin/env bash
# The position and size editor under a real window manager: it opens with
# its frame at Main's saved outer geometry, refuses a window too short,
# ignores Alt+F4, and "元にもどす" brings Main back, with no frame, exactly
# where the user moved and sized the editor.
source "$(dirname "$0")/lib.sh"
rw_setup "$1"

# A first start lays out the data folder; then store a geometry of our own.
rw_start
rw_wait_window ポトラ >/dev/null || { rw_fail "Main did not map"; rw_finish; }
kill "$RW_PROGRAM_PID"; wait "$RW_PROGRAM_PID" 2>/dev/null || true
printf '"1500"\r\n' >"$RW_APP/set/Left.txt"    # 100 px
printf '"750"\r\n' >"$RW_APP/set/Top.txt"      # 50 px
printf '"7500"\r\n' >"$RW_APP/set/Width.txt"   # 500 px
printf '"6000"\r\n' >"$RW_APP/set/Height.txt"  # 400 px

# "x y w h" of a window's frame: its client area widened by the frame
# extents the window manager announces.
outer_geometry() {
  local x y w h extents l=0 r=0 t=0 b=0
  read -r x y w h < <(rw_geometry "$1")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
  [ -n "$extents" ] && IFS=, read -r l r t b <<<"$extents"
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

rw_start
main=$(rw_wait_window ポトラ) || { rw_fail "Main did not map"; rw_finish; }
sleep 0.5
# "位置・サイズ変更": left 3000 twips (200 px), top 0, 105 x 25 px.
xdotool mousemove $((100 + 200 + 50)) $((50 + 12)) click 1
editor=$(rw_wait_window ポトラ 15 "$main") || { rw_fail "the editor did not map"; rw_finish; }
for i in $(seq 50); do rw_viewable "$main" || break; sleep 0.1; done
rw_check "Main is gone while the editor is open" bash -c "! xwininfo -id $main 2>/dev/null | grep -q IsViewable"
sleep 1
frame=$(xprop -id "$editor" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p')
rw_check "the editor has a frame ($frame)" test -n "$frame" -a "$frame" != "0, 0, 0, 0"
got=$(outer_geometry "$editor")
rw_check "the editor's frame lies at 100,50 500x400 (got $got)" test "$got" = "100 50 500 400"
rw_screenshot "$RW_TMP/../potora-editor.png"

# Too short: the message, then the saved geometry back.
xdotool windowsize "$editor" 500 150
box=$(rw_wait_window ポトラ 15 "$editor") || rw_fail "no message for a window too short"
if [ -n "${box:-}" ]; then
  rw_screenshot "$RW_TMP/../potora-editor-message.png"
  echo "message box $box over editor $editor"
  xdotool windowactivate --sync "$box" || true
  xdotool key Return || true
  for i in $(seq 50); do rw_viewable "$box" || break; sleep 0.1; done
  sleep 0.5
  got=$(outer_geometry "$editor")
  rw_check "after the message the editor is back at 100,50 500x400 (got $got)" test "$got" = "100 50 500 400"
fi

# The window manager's close is refused.
xdotool windowactivate --sync "$editor" 2>/dev/null || true
xdotool key alt+F4
sleep 0.7
rw_check "Alt+F4 leaves the editor open" rw_viewable "$editor"

# Move it by its title bar and make it larger, as a user would.
read -r x y w h < <(outer_geometry "$editor")
xdotool mousemove $((x + 60)) $((y + 8)) mousedown 1
sleep 0.2
xdotool mousemove $((x + 90)) $((y + 38))
sleep 0.2
xdotool mousemove $((x + 140)) $((y + 88))
sleep 0.2
xdotool mouseup 1
sleep 0.5
xdotool windowsize "$editor" 560 330
sleep 0.7
read -r x y w h < <(outer_geometry "$editor")
rw_check "the drag moved the editor (now $x $y $w $h)" test "$x" -ne 100 -a "$y" -ne 50
rw_check "no message for a move or a large enough size" \
  test "$(rw_count ポトラ)" -eq 1

# "元にもどす" is centred on the outer size, so within the client area it
# sits at half the outer width and height.
read -r cx cy _ _ < <(rw_geometry "$editor")
xdotool mousemove $((cx + w / 2)) $((cy + h / 2)) click 1
main=$(rw_wait_window ポトラ 15 "$editor") || { rw_fail "Main did not come back"; rw_finish; }
sleep 0.7
for i in $(seq 50); do rw_viewable "$editor" || break; sleep 0.1; done
rw_check "the editor closed" bash -c "! xwininfo -id $editor 2>/dev/null | grep -q IsViewable"
got=$(rw_geometry "$main")
rw_check "Main maps at the editor's outer geometry $x $y $w $h, with no frame (got $got)" test "$got" = "$x $y $w $h"
rw_check "the left is stored in twips" test "$(rw_value_hex set/Left.txt)" = "$(printf '"%d"\r\n' $((x * 15)) | od -An -tx1 -v | tr -d ' \n')"
rw_check "the top is stored in twips" test "$(rw_value_hex set/Top.txt)" = "$(printf '"%d"\r\n' $((y * 15)) | od -An -tx1 -v | tr -d ' \n')"
rw_check "the width is stored in twips" test "$(rw_value_hex set/Width.txt)" = "$(printf '"%d"\r\n' $((w * 15)) | od -An -tx1 -v | tr -d ' \n')"
rw_check "the height is stored in twips" test "$(rw_value_hex set/Height.txt)" = "$(printf '"%d"\r\n' $((h * 15)) | od -An -tx1 -v | tr -d ' \n')"
rw_screenshot "$RW_TMP/../potora-main-moved.png"
rw_finish
