#!/usr/bin/env bash
# A timer memo pops up above Main, and above a window raised after it, in a
# box titled ポトラ with the memo's text as typed, markup and line breaks
# included; it comes on time after the clock was set back by eight hours
# while the program ran. The memo editor refuses the window manager's close.
source "$(dirname "$0")/lib.sh"
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1 || true)
[ -n "$faketime_lib" ] || { echo "libfaketime is not installed (scripts/deps.sh --test)"; exit 77; }
command -v xclip >/dev/null || { echo "xclip is not installed (scripts/deps.sh --test)"; exit 77; }
rw_setup "$1"

line1='<b>お茶</b>の時間です'
line2='2行目: a<b'
mkdir -p "$RW_APP/set" "$RW_APP/Timer"
printf '"%s\r\n%s"\r\n' "$line1" "$line2" | iconv -f UTF-8 -t CP932 >"$RW_APP/Timer/memo1.txt"
printf '"07"\r\n' >"$RW_APP/Timer/memo1-2.txt"
printf '"06"\r\n' >"$RW_APP/Timer/memo1-3.txt"
printf '1\r\n' >"$RW_APP/Timer/true1.txt"

# The program's clock starts eight hours fast; once Main is up it is set
# right, as time sync does after a boot with a wrong hardware clock. Its
# minute's check comes about ten seconds later, at 07:06 by the new clock.
clock=$RW_TMP/clock
echo '@2026-12-07 15:05:50' >"$clock"
LD_PRELOAD=$faketime_lib FAKETIME_TIMESTAMP_FILE=$clock FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 rw_start
main=$(rw_wait_window ポトラ) || { rw_fail "Main did not map"; rw_finish; }
echo '@2026-12-07 07:05:50' >"$clock"
xmessage -name other -title other "another window" &
RW_PIDS+=($!)
other=$(rw_wait_window other) || rw_fail "the other window did not map"

box=$(rw_wait_window ポトラ 20 "$main") || { rw_fail "no memo box came up at 07:06 after the clock was set back"; rw_finish; }
rw_pass "a box titled ポトラ came up at 07:06 after the clock was set back"
sleep 0.5

# Whatever is raised later, the box stays on top.
xdotool windowactivate "$other" 2>/dev/null || true
xdotool windowraise "$other"
sleep 0.5
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
position() { local hex n=0; hex=$(printf '0x%x' "$1"); for w in $stacking; do n=$((n + 1)); [ "$w" = "$hex" ] && echo $n; done; }
rw_check "the box is stacked above Main ($stacking)" test "$(position "$box")" -gt "$(position "$main")"
rw_check "the box is stacked above the window raised after it" test "$(position "$box")" -gt "$(position "$other")"
rw_check "the box asks to stay above" bash -c "xprop -id $box _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE"
rw_screenshot "$RW_TMP/../potora-timer-memo.png"

# The box's first line, selected and copied, is the memo's first line as typed.
eval "$(xdotool getwindowgeometry --shell "$box")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 5)) click --repeat 3 --delay 80 1
sleep 0.3
xdotool key ctrl+c
sleep 0.5
copied=$(xclip -o -selection clipboard 2>/dev/null || xclip -o 2>/dev/null || true)
rw_check "the box shows the memo as typed (copied: $copied)" test "$copied" = "$line1"

xdotool key Return
sleep 0.7
rw_check "OK closes the box" test "$(rw_count ポトラ)" -eq 1
rw_check "the program runs on" kill -0 "$RW_PROGRAM_PID"

# Main's タイマーメモ button (1560, 480 twips) opens the overview; its first
# memo button (120, 360) opens the editor, whose close is refused.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 104 + 20)) $((Y + 32 + 10)) click 1
overview=$(rw_wait_window タイマーメモ) || rw_fail "the overview did not map"
eval "$(xdotool getwindowgeometry --shell "$overview")"
xdotool mousemove $((X + 8 + 40)) $((Y + 24 + 15)) click 1
editor=$(rw_wait_window 'タイマーメモ(メモ1)') || rw_fail "the editor did not map"
if [ -n "$editor" ]; then
  xdotool windowactivate --sync "$editor" 2>/dev/null || true
  xdotool key alt+F4
  sleep 0.7
  rw_check "the editor refuses the window manager's close" rw_viewable "$editor"
fi
rw_finish
