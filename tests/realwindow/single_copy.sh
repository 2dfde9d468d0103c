#!/usr/bin/env bash
# A second start on the same data folder brings the running copy's Main
# up, exits 0 and writes nothing; a copy killed outright does not stop the
# next start.
source "$(dirname "$0")/lib.sh"
rw_setup "$1"

folder_state() { find "$RW_APP" -printf '%P %s %T@\n' | sort; }

# second_start: runs another copy to its end; prints its exit status.
second_start() {
  local status=0
  (cd / && exec timeout 20 "$RW_APP/potora") >"$RW_TMP/second.log" 2>&1 || status=$?
  echo "$status"
}

rw_start
main=$(rw_wait_window ポトラ) || { rw_fail "Main did not map"; rw_finish; }
rw_wait_tray_icon >/dev/null || rw_fail "no icon in the tray"
sleep 0.5
before=$(folder_state)

rw_cover
status=$(second_start)
rw_check "the second start exits 0 (got $status)" test "$status" = 0
sleep 0.3
rw_check "it raised the running copy's Main" rw_on_top "$main"
rw_check "the running copy goes on" kill -0 "$RW_PROGRAM_PID"
rw_check "still one Main" test "$(rw_count ポトラ)" -eq 1
rw_check "still one icon" test "$(rw_tray_icons | wc -l)" -eq 1
rw_check "nothing in the data folder changed" test "$(folder_state)" = "$before"
rw_uncover

kill -9 "$RW_PROGRAM_PID"; wait "$RW_PROGRAM_PID" 2>/dev/null || true
rw_check "the killed copy left its lock behind" test -e "$RW_APP/potora.lock"
rw_start
main=$(rw_wait_window ポトラ 10) || rw_fail "a start after the crash did not come up"
rw_cover
status=$(second_start)
rw_check "a second start after that exits 0 (got $status)" test "$status" = 0
sleep 0.3
rw_check "and raises the new copy's Main" rw_on_top "$main"
rw_finish
