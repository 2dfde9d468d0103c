#!/usr/bin/env bash
# Start-up benchmark: time from process start to the first window mapped,
# and peak resident memory, for ポトラ, for a minimal Qt Widgets window (the
# floor) and for xpad, Debian's sticky-notes program, under Xvfb with icewm.
# Medians of several runs, and ratios to the minimal window.
#   bench/startup.sh [build dir] [runs]
# As root it installs xpad when it is missing; otherwise xpad is left out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-7}

if ! command -v xpad >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq --no-install-recommends xpad >/dev/null 2>&1 ||
      { apt-get update -qq && apt-get install -y -qq --no-install-recommends xpad >/dev/null; } ||
      echo "xpad could not be installed; it is left out" >&2
  else
    echo "xpad is not installed (apt-get install xpad as root); it is left out" >&2
  fi
fi

source "$root/tests/realwindow/lib.sh"
rw_setup "$build/potora"

# Starts to lay out each program's data, so every measured run is alike.
# xpad's first start shows its help and saves a hidden pad; -s shows that
# pad, as a user's saved note is shown at every start.
"$build/bench/mapwatch" 1 "$RW_APP/potora" >/dev/null
if command -v xpad >/dev/null; then
  "$build/bench/mapwatch" 1 xpad >/dev/null 2>&1
  "$build/bench/mapwatch" 1 xpad -s >/dev/null 2>&1
fi

measure() { # name program...
  local name=$1 ms mb
  shift
  read -r ms mb < <("$build/bench/mapwatch" "$runs" "$@")
  rows+=("$name $ms $mb")
}
rows=()
measure minimal "$build/bench/minimal_window"
measure potora "$RW_APP/potora"
command -v xpad >/dev/null && measure xpad xpad -s 2>/dev/null

echo "$runs runs each, medians; $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%s\n' "${rows[@]}" | awk '
  # printf pads by bytes: ポトラ is 9 bytes in 6 columns, so it carries its own padding.
  BEGIN { label["minimal"] = "minimal Qt"; label["potora"] = "ポトラ      "; label["xpad"] = "xpad" }
  { name[NR] = $1; ms[NR] = $2; mb[NR] = $3; if ($1 == "minimal") { base_ms = $2; base_mb = $3 } }
  END {
    printf "%-12s %14s %13s %12s %12s\n", "program", "to_window_ms", "peak_rss_mb", "time_ratio", "rss_ratio"
    for (i = 1; i <= NR; i++)
      printf "%-12s %14.1f %13.1f %12.2f %12.2f\n", label[name[i]], ms[i], mb[i], ms[i] / base_ms, mb[i] / base_mb
  }'
