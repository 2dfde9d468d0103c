#!/usr/bin/env bash
# Main maps borderless at the stored geometry, typing lands in the memo
# files with the one-step backup, and a page switch survives a restart.
source "$(dirname "$0")/lib.sh"
rw_setup "$1"

# A first start lays out the data folder; then store a geometry of our own.
rw_start
main=$(rw_wait_window ポトラ) || { rw_fail "Main did not map"; rw_finish; }
kill "$RW_PROGRAM_PID"; wait "$RW_PROGRAM_PID" 2>/dev/null || true
rw_check "first start created the 41 value files" \
  test "$(find "$RW_APP/set" "$RW_APP/Timer" -name '*.txt' | wc -l)" -eq 41
printf '"1500"\r\n' >"$RW_APP/set/Left.txt"    # 100 px
printf '"750"\r\n' >"$RW_APP/set/Top.txt"      # 50 px
printf '"7500"\r\n' >"$RW_APP/set/Width.txt"   # 500 px
printf '"6000"\r\n' >"$RW_APP/set/Height.txt"  # 400 px
printf '3\r\n' >"$RW_APP/set/Change.txt"

rw_start
main=$(rw_wait_window ポトラ) || { rw_fail "Main did not map"; rw_finish; }
sleep 0.5
geometry=$(rw_geometry "$main")
rw_check "Main at 100,50 500x400 with no frame (got $geometry)" test "$geometry" = "100 50 500 400"

# Click into the page box (below the band of 2100 twips = 140 px) and type.
xdotool mousemove 300 300 click 1
sleep 0.3
xdotool type --delay 60 'abc'
sleep 0.5
rw_check "page 3 holds abc" test "$(rw_value_hex set/memo3.txt)" = "2261626322""0d0a"
rw_check "its backup holds ab" test "$(rw_value_hex set/memo3X.txt)" = "22616222""0d0a"

# Page button 7: second row (top 480 twips = 32 px), left 5160 twips = 344 px.
xdotool mousemove $((100 + 344 + 12)) $((50 + 32 + 12)) click 1
sleep 0.5
rw_check "page 7 is stored" test "$(rw_value_hex set/Change.txt)" = "370d0a"
rw_screenshot "$RW_TMP/../potora-main.png"

kill "$RW_PROGRAM_PID"; wait "$RW_PROGRAM_PID" 2>/dev/null || true
rw_start
main=$(rw_wait_window ポトラ) || rw_fail "Main did not map again"
sleep 0.5
rw_check "page 3 kept abc over a restart" test "$(rw_value_hex set/memo3.txt)" = "2261626322""0d0a"
rw_check "the restart left the backup alone" test "$(rw_value_hex set/memo3X.txt)" = "22616222""0d0a"
rw_check "page 7 still stored" test "$(rw_value_hex set/Change.txt)" = "370d0a"
rw_finish
