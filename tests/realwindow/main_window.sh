#!/usr/bin/env bash
# Main maps borderless at the stored geometry; typing lands in the memo
# files with the one-step backup, also through a real input method (IBus
# with Anthy); a page switch survives a restart; a save that fails (a full
# disk, a file in the way) loses nothing, not even when the program is
# ended by SIGTERM as at a log-off.
source "$(dirname "$0")/lib.sh"
rw_setup "$1"

sjis_hex() { printf '"%s"\r\n' "$1" | iconv -f UTF-8 -t CP932 | od -An -tx1 -v | tr -d ' \n'; }
stop_program() { kill "$RW_PROGRAM_PID"; wait "$RW_PROGRAM_PID" 2>/dev/null || true; }

# A first start lays out the data folder; then store a geometry of our own.
rw_start
main=$(rw_wait_window ポトラ) || { rw_fail "Main did not map"; rw_finish; }
stop_program
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
stop_program

# Japanese as most users type it: IBus with Anthy composes, then commits.
printf '"%s"\r\n' '予定：' | iconv -f UTF-8 -t CP932 >"$RW_APP/set/memo7.txt"
ime=""
if command -v ibus-daemon >/dev/null && [ -f /usr/share/ibus/component/anthy.xml ] && command -v dbus-launch >/dev/null; then
  eval "$(dbus-launch --sh-syntax)"
  RW_PIDS+=("$DBUS_SESSION_BUS_PID")
  # The Anthy engine is a Python program that needs Debian's own Python.
  PATH=/usr/bin:$PATH ibus-daemon -rx --panel disable --cache=refresh >"$RW_TMP/ibus.log" 2>&1 &
  RW_PIDS+=($!)
  for _ in $(seq 100); do ibus list-engine 2>/dev/null | grep -q anthy && { ime=ibus; break; }; sleep 0.2; done
  [ -n "$ime" ] || rw_fail "IBus did not list the Anthy engine: $(cat "$RW_TMP/ibus.log")"
else
  echo "skip: typing through an input method needs ibus, ibus-anthy and dbus-x11 (scripts/deps.sh --test)"
fi
QT_IM_MODULE=${ime:-} rw_start
main=$(rw_wait_window ポトラ) || rw_fail "Main did not map again"
sleep 0.5
rw_check "page 3 kept abc over a restart" test "$(rw_value_hex set/memo3.txt)" = "2261626322""0d0a"
rw_check "the restart left the backup alone" test "$(rw_value_hex set/memo3X.txt)" = "22616222""0d0a"
rw_check "page 7 still stored" test "$(rw_value_hex set/Change.txt)" = "370d0a"
if [ -n "$ime" ]; then
  xdotool mousemove 300 300 click 1
  xdotool key ctrl+End
  # It answers with a failure status even when it switched.
  ibus engine anthy || true
  sleep 0.3
  rw_check "IBus runs Anthy" test "$(ibus engine)" = anthy
  xdotool key ctrl+j      # Anthy's hiragana input
  sleep 0.3
  xdotool type --delay 80 kaigi
  sleep 0.3
  xdotool key space       # converts to 会議
  sleep 0.5
  rw_check "composing writes nothing" test "$(rw_value_hex set/memo7X.txt)" = "2222""0d0a"
  xdotool key Return      # commits
  sleep 0.5
  rw_check "the committed word is saved" test "$(rw_value_hex set/memo7.txt)" = "$(sjis_hex '予定：会議')"
  rw_check "the backup holds the text before it" test "$(rw_value_hex set/memo7X.txt)" = "$(sjis_hex '予定：')"
  xdotool type --delay 80 yotei
  sleep 0.3
  xdotool key Escape Escape  # a composition given up
  sleep 0.5
  rw_check "a composition given up changes nothing" test "$(rw_value_hex set/memo7X.txt)" = "$(sjis_hex '予定：')"
  # キャンセル: 0, 480 twips.
  xdotool mousemove $((100 + 40)) $((50 + 32 + 12)) click 1
  sleep 0.5
  rw_check "キャンセル takes the word back" test "$(rw_value_hex set/memo7.txt)" = "$(sjis_hex '予定：')"
  rw_check "and keeps it for the next press" test "$(rw_value_hex set/memo7X.txt)" = "$(sjis_hex '予定：会議')"
  ibus engine xkb:us::eng || true
fi

# A memo file that cannot be written: the text stays on screen, and when the
# program is ended as at a log-off it goes to a file of the user's own.
rm "$RW_APP/set/memo7.txt"
mkdir "$RW_APP/set/memo7.txt"
xdotool mousemove 300 300 click 1
xdotool key ctrl+End
xdotool type u
box=$(rw_wait_window ポトラ 10 "$main") && rw_pass "the failed save is reported" || rw_fail "no message for the failed save"
xdotool windowactivate --sync "$box" key Return 2>/dev/null || true
sleep 0.3
xdotool mousemove 300 300 click 1
xdotool key ctrl+End
xdotool type --delay 60 'nsaved7x'
sleep 0.3
kill -TERM "$RW_PROGRAM_PID"
status=0
wait "$RW_PROGRAM_PID" || status=$?
rw_check "SIGTERM ends the program with status 0 (got $status)" test "$status" = 0
rescued=$(ls "$HOME/.local/share/potora/"memo7\ *.txt 2>/dev/null | head -n1 || true)
rw_check "the unsaved text is in a rescue file ($rescued)" test "$(cat "$rescued" 2>/dev/null)" = '予定：unsaved7x'
rmdir "$RW_APP/set/memo7.txt"
rw_start
notice=$(rw_wait_window ポトラ 10) || rw_fail "no notice at the next start"
rw_check "the next start says where the text went" test "$(rw_geometry "$notice" | cut -d' ' -f3-)" != "500 400"
xdotool windowactivate --sync "$notice" key Return 2>/dev/null || true
main=$(rw_wait_window ポトラ 10 "$notice") || rw_fail "Main did not map after the notice"
stop_program
rw_check "and says it once" test ! -e "$HOME/.local/share/potora/notice.txt"

# A full disk: a small file system of its own for set/, filled up.
if [ "$(id -u)" -ne 0 ]; then
  echo "skip: a full disk needs a small tmpfs, which only root can mount"
else
  cp -a "$RW_APP/set" "$RW_TMP/set-copy"
  mount -t tmpfs -o size=512k tmpfs "$RW_APP/set"
  RW_MOUNTS+=("$RW_APP/set")
  cp -a "$RW_TMP/set-copy/." "$RW_APP/set/"
  # A memo of exactly one page, so that one more character needs a second.
  printf '"%s"\r\n' "$(head -c 4092 /dev/zero | tr '\0' x)" >"$RW_APP/set/memo7.txt"
  before=$(rw_value_hex set/memo7.txt)
  rw_start
  main=$(rw_wait_window ポトラ) || { rw_fail "Main did not map on the small file system"; rw_finish; }
  xdotool mousemove 300 300 click 1
  xdotool key ctrl+End
  dd if=/dev/zero of="$RW_APP/set/filler" bs=4096 >/dev/null 2>&1 || true
  xdotool type y
  box=$(rw_wait_window ポトラ 10 "$main") && rw_pass "a full disk is reported" || rw_fail "no message on a full disk"
  rw_check "the memo file is whole, as before" test "$(rw_value_hex set/memo7.txt)" = "$before"
  rw_check "no temporary file is left" test -z "$(ls "$RW_APP/set" | grep potora-tmp || true)"
  xdotool windowactivate --sync "$box" key Return 2>/dev/null || true
  rm "$RW_APP/set/filler"
  xdotool mousemove 300 300 click 1
  xdotool key ctrl+End
  xdotool type z
  sleep 0.5
  rw_check "with room again the whole text is saved" \
    test "$(rw_value_hex set/memo7.txt)" = "$(printf '"%syz"\r\n' "$(head -c 4092 /dev/zero | tr '\0' x)" | od -An -tx1 -v | tr -d ' \n')"
fi
rw_finish
