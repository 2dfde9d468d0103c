#!/usr/bin/env bash
# Thirty-one hours of the wall clock, run 1200 times fast: Main refreshes
# every minute with the three timer memos on; every minute is checked once
# and in order, each memo pops up once a day at its time, and the resident
# memory does not grow with the refreshes.
# The program's log category potora.timer shows the ticks and the checked minutes;
# the memo boxes are seen and answered on screen, as a user would.
source "$(dirname "$0")/lib.sh"
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1 || true)
[ -n "$faketime_lib" ] || { echo "libfaketime is not installed (scripts/deps.sh --test)"; exit 77; }
rw_setup "$1"

rate=1200
start='2026-12-06 05:00:00'
last_minute='2026-12-07 12:05'      # the run ends once this minute is checked
baseline_minute='2026-12-06 07:00'  # memory is first read here, after the first box
rss_slack_kb=3072

mkdir -p "$RW_APP/set" "$RW_APP/Timer"
timer_memo() { # n hour minute text
  printf '"%s"\r\n' "$4" >"$RW_APP/Timer/memo$1.txt"
  printf '"%s"\r\n' "$2" >"$RW_APP/Timer/memo$1-2.txt"
  printf '"%s"\r\n' "$3" >"$RW_APP/Timer/memo$1-3.txt"
  printf '1\r\n' >"$RW_APP/Timer/true$1.txt"
}
timer_memo 1 06 30 morning
timer_memo 2 12 00 noon
timer_memo 3 00 00 midnight
expected_announcements='1 2026-12-06 06:30
2 2026-12-06 12:00
3 2026-12-07 00:00
1 2026-12-07 06:30
2 2026-12-07 12:00'

log=$RW_TMP/program.log
trace=$RW_TMP/trace
# Monotonic time runs fast too, so that Qt's timers keep pace with the clock.
LD_PRELOAD=$faketime_lib FAKETIME="@$start x$rate" QT_LOGGING_RULES="potora.timer.debug=true" \
  QT_MESSAGE_PATTERN='%{category}: %{message}' rw_start
main=$(rw_wait_window ポトラ 30) || { rw_fail "Main did not map"; rw_finish; }

# Another window holds the focus, so that no caret blinks 1200 times fast.
xmessage -name other -title other "other" >/dev/null 2>&1 &
RW_PIDS+=($!)
other=$(rw_wait_window other) || rw_fail "the other window did not map"
focus_other() { xdotool windowactivate "$other" 2>/dev/null || true; }
focus_other

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$RW_PROGRAM_PID/status"; }
open_box() { rw_windows ポトラ | grep -vx "$main" | head -n1 || true; }

boxes=0
baseline_rss=""
samples=""
sampled=""
deadline=$((SECONDS + 200))
while :; do
  kill -0 "$RW_PROGRAM_PID" 2>/dev/null || { rw_fail "the program ended during the run"; break; }
  box=$(open_box)
  if [ -n "$box" ]; then
    boxes=$((boxes + 1))
    xdotool windowactivate "$box" 2>/dev/null || true
    xdotool key Return
    for _ in $(seq 40); do [ -z "$(open_box)" ] && break; sleep 0.05; done
    [ -z "$(open_box)" ] || { rw_fail "a memo box did not close on Return"; break; }
    focus_other
  fi
  now=$(grep '^potora.timer: checked ' "$log" | tail -n1 | cut -d' ' -f3-4)
  if [ -z "$baseline_rss" ] && [[ "$now" > "$baseline_minute" || "$now" == "$baseline_minute" ]]; then
    baseline_rss=$(rss_kb)
  fi
  # A reading every six hours of the clock, to show the trend.
  hour=${now:11:2}
  if [ -n "$baseline_rss" ] && [ -n "$hour" ] && [ $((10#$hour % 6)) -eq 0 ] && [ "${now:0:13}" != "$sampled" ]; then
    samples+=" $(rss_kb) kB at $now,"
    sampled=${now:0:13}
  fi
  [[ "$now" > "$last_minute" || "$now" == "$last_minute" ]] && break
  [ "$SECONDS" -lt "$deadline" ] || { rw_fail "the clock did not reach $last_minute in time (at $now)"; break; }
  sleep 0.05
done
final_rss=$(rss_kb 2>/dev/null || true)
kill "$RW_PROGRAM_PID" 2>/dev/null || true
wait "$RW_PROGRAM_PID" 2>/dev/null || true

# Minutes as a count, from the proleptic Gregorian date.
minutes='function jd(y, m, d) { a = int((14 - m) / 12); y = y + 4800 - a; m = m + 12 * a - 3;
           return d + int((153 * m + 2) / 5) + 365 * y + int(y / 4) - int(y / 100) + int(y / 400) - 32045 }
         function minute(date, time) { split(date, D, "-"); split(time, T, ":");
           return jd(D[1] + 0, D[2] + 0, D[3] + 0) * 1440 + T[1] * 60 + T[2] }'
sed -n 's/^potora\.timer: //p' "$log" >"$trace"
ticks=$(grep -c '^tick ' "$trace" || true)
checked=$(grep -c '^checked ' "$trace" || true)
gaps=$(awk "$minutes"'
  $1 == "checked" { m = minute($2, $3); if (seen && m != prev + 1) printf "%s %s comes %d min after the last; ", $2, $3, m - prev; prev = m; seen = 1 }' "$trace")
announced=$(awk '$1 == "announced" { print $2, $3, $4 }' "$trace")
out_of_place=$(awk '$1 == "checked" { m = $2 " " $3 } $1 == "announced" && $3 " " $4 != m { print }' "$trace")

echo "ticks (minute refreshes of Main): $ticks; minutes checked: $checked," \
  "from $(grep -m1 '^checked ' "$trace" | cut -d' ' -f2-3) to $(grep '^checked ' "$trace" | tail -n1 | cut -d' ' -f2-3)"
echo "memo boxes seen and answered: $boxes"
echo "resident memory: ${baseline_rss:-?} kB at $baseline_minute,${samples} ${final_rss:-?} kB at the end"
rw_check "at least 1000 minute refreshes ($ticks)" test "$ticks" -ge 1000
rw_check "every minute checked once, in order, none skipped ${gaps:+($gaps)}" test -z "$gaps"
rw_check "each memo announced once a day at its time (got: $(tr '\n' ',' <<<"$announced"))" \
  test "$announced" = "$expected_announcements"
rw_check "announced within the minute they belong to ${out_of_place:+($out_of_place)}" test -z "$out_of_place"
rw_check "a box on screen for every announcement ($boxes)" test "$boxes" -eq "$(grep -c '^announced ' "$trace")"
if [ -n "${POTORA_SANITIZED:-}" ]; then
  # AddressSanitizer holds freed memory back in its quarantine, so resident
  # memory says nothing about growth there; the plain build is measured.
  echo "resident memory not judged in a sanitizer build"
elif [ -n "$baseline_rss" ] && [ -n "$final_rss" ]; then
  rw_check "resident memory within $rss_slack_kb kB of its early value (grew $((final_rss - baseline_rss)) kB)" \
    test "$((final_rss - baseline_rss))" -le "$rss_slack_kb"
else
  rw_fail "resident memory could not be read"
fi
rw_check "nothing else on stderr" test -z "$(grep -v '^potora\.timer: ' "$log" || true)"
rw_finish
