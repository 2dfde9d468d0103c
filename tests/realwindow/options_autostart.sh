#!/usr/bin/env bash
# Registering at log-on from the options window, then starting the program
# the way a session's autostart does (Exec run from Path), removing the
# registration and quitting from the options window with status 0, also
# while the help viewer is open.
source "$(dirname "$0")/lib.sh"
rw_setup "$1"

# A program folder with every character the entry's Exec must carry.
tricky="$RW_TMP/ポトラ \$HOME \`id\` 100%f #1 it's \"q\" a\\b"
mv "$RW_APP" "$tricky"
RW_APP=$tricky
entry="$XDG_CONFIG_HOME/autostart/ポトラ.desktop"

# A desktop entry string value with its escapes undone.
unescape_string() {
  local s=$1 out="" i=0 c n
  while [ "$i" -lt "${#s}" ]; do
    c=${s:i:1}
    if [ "$c" = '\' ] && [ $((i + 1)) -lt "${#s}" ]; then
      n=${s:i+1:1}; i=$((i + 1))
      case $n in
        s) out+=' ' ;; n) out+=$'\n' ;; t) out+=$'\t' ;; r) out+=$'\r' ;; '\') out+='\' ;;
        *) out+="\\$n" ;;
      esac
    else
      out+=$c
    fi
    i=$((i + 1))
  done
  printf '%s' "$out"
}

# The argument vector of an Exec value, into EXEC_ARGV: string escapes,
# then the quoting, then "%%".
exec_argv() {
  local s cur="" inq=0 inarg=0 i=0 c n pp='%%'
  s=$(unescape_string "$1")
  EXEC_ARGV=()
  while [ "$i" -lt "${#s}" ]; do
    c=${s:i:1}; n=${s:i+1:1}
    if [ "$inq" -eq 1 ]; then
      if [ "$c" = '\' ] && [ -n "$n" ] && [[ '"`$\' == *"$n"* ]]; then cur+=$n; i=$((i + 1))
      elif [ "$c" = '"' ]; then inq=0
      else cur+=$c; fi
    elif [ "$c" = ' ' ]; then
      if [ "$inarg" -eq 1 ]; then EXEC_ARGV+=("$cur"); fi
      cur=""; inarg=0
    elif [ "$c" = '"' ]; then inq=1; inarg=1
    else cur+=$c; inarg=1; fi
    i=$((i + 1))
  done
  if [ "$inarg" -eq 1 ]; then EXEC_ARGV+=("$cur"); fi
  for i in "${!EXEC_ARGV[@]}"; do EXEC_ARGV[i]=${EXEC_ARGV[i]//"$pp"/%}; done
}

entry_value() { sed -n "s/^$1=//p" "$entry" | head -n1; }

# Clicks at x,y pixels of a window's client area.
click_in() { # window x y
  local g; read -r -a g <<<"$(rw_geometry "$1")"
  xdotool mousemove $((g[0] + $2)) $((g[1] + $3)) click 1
}

open_options() {
  click_in "$main" $((104 + 40)) 12 # "オプション": 1560, 0 twips
  rw_wait_window オプション
}

# Answers the program's message box, a window "ポトラ" that is not Main.
answer_box() {
  local id
  id=$(rw_wait_window ポトラ 10 "$main") || return 1
  sleep 0.3
  rw_screenshot "$RW_TMP/../potora-$1.png"
  xdotool windowactivate --sync "$id" key Return 2>/dev/null || xdotool key Return
}

# Waits for the program to end and prints its exit status ("running" if not).
exit_status() {
  local i rc=0
  for i in $(seq 100); do
    if ! kill -0 "$RW_PROGRAM_PID" 2>/dev/null; then
      wait "$RW_PROGRAM_PID" || rc=$?
      echo "$rc"; return 0
    fi
    sleep 0.1
  done
  echo running
}

# First run, started by hand: register.
rw_start
main=$(rw_wait_window ポトラ) || { rw_fail "Main did not map"; rw_finish; }
sleep 0.5
options=$(open_options) || { rw_fail "the options window did not open"; rw_finish; }
rw_check "options window is 4680 x 2070 twips" test "$(rw_geometry "$options" | cut -d' ' -f3-)" = "312 138"
click_in "$options" 20 52     # Check1: 120, 600 twips
sleep 0.3
click_in "$options" 168 124   # OK: 1920, 1680 twips
rw_check "a message answered the registration" answer_box registered
sleep 0.5
rw_check "the flag holds 1" test "$(rw_value_hex Timer/startup.txt)" = "310d0a"
rw_check "the autostart entry is there" test -f "$entry"
rw_check "the options window closed" test "$(rw_count オプション)" -eq 0

# Help, then quit with the viewer still open.
options=$(open_options) || { rw_fail "the options window did not open again"; rw_finish; }
click_in "$options" 68 84     # ヘルプを見る: 120, 1080 twips
help=$(rw_wait_window 'ポトラ ヘルプ') || rw_fail "the help viewer did not open"
click_in "$options" 68 84
sleep 0.5
rw_check "a second press keeps one viewer" \
  test "$(rw_count 'ポトラ ヘルプ')" -eq 1
rw_screenshot "$RW_TMP/../potora-help.png"
click_in "$options" 150 20    # ポトラの終了: 120, 120 twips
rw_check "quitting with the help viewer open exits 0" test "$(exit_status)" = 0

# Second run, as the session's autostart starts it.
exec_argv "$(entry_value Exec)"
path=$(unescape_string "$(entry_value Path)")
rw_check "Exec names the program itself (${EXEC_ARGV[*]})" test "${EXEC_ARGV[*]}" = "$RW_APP/potora"
rw_check "Path is the data folder" test "$path" = "$RW_APP"
rw_check "Icon is the PNG in set" test "$(unescape_string "$(entry_value Icon)")" = "$RW_APP/set/icon.png"
(cd "$path" && exec "${EXEC_ARGV[@]}") >"$RW_TMP/autostart.log" 2>&1 &
RW_PROGRAM_PID=$!
RW_PIDS+=("$RW_PROGRAM_PID")
main=$(rw_wait_window ポトラ) || { rw_fail "the autostarted program did not map Main"; rw_finish; }
sleep 0.5
rw_check "it runs in the data folder" test "$(readlink "/proc/$RW_PROGRAM_PID/cwd")" = "$RW_APP"

# Remove the registration, then quit.
options=$(open_options) || { rw_fail "the options window did not open"; rw_finish; }
click_in "$options" 20 52     # ticked from the flag: clear it
sleep 0.3
click_in "$options" 168 124
rw_check "a message answered the removal" answer_box removed
sleep 0.5
rw_check "the flag holds 0" test "$(rw_value_hex Timer/startup.txt)" = "300d0a"
rw_check "the autostart entry is gone" test ! -e "$entry"
options=$(open_options) || { rw_fail "the options window did not open"; rw_finish; }
click_in "$options" 150 20
rw_check "quitting exits 0" test "$(exit_status)" = 0
rw_check "no window of the program is left" \
  test "$(rw_count ポトラ)$(rw_count オプション)" = 00
rw_finish
