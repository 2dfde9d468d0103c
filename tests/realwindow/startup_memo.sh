#!/usr/bin/env bash
# A start-up memo comes up in a box before Main maps; after OK, Main maps
# and the program keeps running with nothing of the memo window on screen.
source "$(dirname "$0")/lib.sh"
rw_setup "$1"

rw_start
rw_wait_window ポトラ >/dev/null || { rw_fail "Main did not map"; rw_finish; }
kill "$RW_PROGRAM_PID"; wait "$RW_PROGRAM_PID" 2>/dev/null || true
printf '"\x92\xa9\x89\xef"\r\n' >"$RW_APP/Timer/memo4.txt"   # 朝会 in Shift-JIS

rw_start
box=$(rw_wait_window ポトラ) || { rw_fail "no start-up memo box"; rw_finish; }
sleep 1
rw_check "only the box is up: Main waits for it" \
  test "$(rw_count ポトラ)" -eq 1
read -r _ _ w h < <(rw_geometry "$box")
rw_check "the box is a small message box, not Main (${w}x$h)" test "$w" -lt 300 -a "$h" -lt 200
rw_screenshot "$RW_TMP/../potora-startup-memo.png"
xdotool windowactivate --sync "$box" || true
xdotool key Return || true

rw_check "Main maps after the box" rw_wait_window ポトラ 5 "$box"
# Past Timer2's first tick, which loads the start-up memo editor hidden.
sleep 11
rw_check "the program is still running" kill -0 "$RW_PROGRAM_PID"
rw_check "no memo window is on screen" \
  test "$(rw_count 起動時メモ)$(rw_count 起動時タイマー)" = 00
rw_check "the box came only once" \
  test "$(rw_count ポトラ)" -eq 1
rw_finish
