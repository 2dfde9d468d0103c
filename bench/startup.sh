#!/usr/bin/env bash
# Start-up benchmark: time from process start to the first window mapped,
# and peak resident memory, for ポトラ, for the floor (bench/floor_window:
# a frameless window with a Japanese text box, a bold italic Japanese button
# and a tray icon) and for xpad, Debian's sticky-notes program, under Xvfb
# with icewm. The programs take turns, one start each per round, so that
# whatever else loads the machine falls on all of them alike. Medians, and
# ratios to the floor.
#   bench/startup.sh [build dir] [rounds]
# With MAPWATCH_VERBOSE set, every start's figures go to stderr.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
rounds=${2:-11}

"$root/scripts/deps.sh" --bench

source "$root/tests/realwindow/lib.sh"
rw_setup "$build/potora"

# Starts to lay out each program's data, so every measured run is alike.
# xpad's first start shows its help and saves a hidden pad; -s shows that
# pad, as a user's saved note is shown at every start.
"$build/bench/mapwatch" 1 "$RW_APP/potora" >/dev/null
"$build/bench/mapwatch" 1 xpad >/dev/null 2>&1
"$build/bench/mapwatch" 1 xpad -s >/dev/null 2>&1

names=(floor potora xpad)
start() { # name
  case $1 in
    floor) "$build/bench/mapwatch" 1 "$build/bench/floor_window" ;;
    potora) "$build/bench/mapwatch" 1 "$RW_APP/potora" ;;
    xpad) "$build/bench/mapwatch" 1 xpad -s 2>/dev/null ;; # GTK's warnings
  esac
}
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
results=$RW_TMP/results
for round in $(seq "$rounds"); do
  # Each round starts with another program, so none always runs first.
  for i in "${!names[@]}"; do
    j=$(((i + round) % ${#names[@]}))
    echo "${names[j]} $(start "${names[j]}")" >>"$results"
  done
done

echo "$rounds starts each, interleaved, medians; $(nproc) cores," \
  "load $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after"
awk '
  # printf pads by bytes: ポトラ is 9 bytes in 6 columns, so it carries its own padding.
  BEGIN { label["floor"] = "floor"; label["potora"] = "ポトラ      "; label["xpad"] = "xpad"; split("floor potora xpad", order) }
  { n[$1]++; ms[$1, n[$1]] = $2; mb[$1, n[$1]] = $3 }
  function median(kind, name,    i, j, t, v) {
    for (i = 1; i <= n[name]; i++) v[i] = kind == "ms" ? ms[name, i] : mb[name, i]
    for (i = 2; i <= n[name]; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return v[int((n[name] + 1) / 2)]
  }
  END {
    base_ms = median("ms", "floor"); base_mb = median("mb", "floor")
    printf "%-12s %14s %13s %12s %12s\n", "program", "to_window_ms", "peak_rss_mb", "time_ratio", "rss_over_mb"
    for (k = 1; k <= 3; k++) {
      name = order[k]
      if (!n[name]) continue
      t = median("ms", name); m = median("mb", name)
      printf "%-12s %14.1f %13.1f %12.2f %12.1f\n", label[name], t, m, t / base_ms, m - base_mb
    }
  }' "$results"
