#!/usr/bin/env bash
# Start-up benchmark: time from process start to the first window mapped,
# and peak resident memory, for ポトラ and for a minimal Qt Widgets window,
# under Xvfb with icewm. Medians of several runs.
#   bench/startup.sh [build dir] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-7}
source "$root/tests/realwindow/lib.sh"
rw_setup "$build/potora"

# One start to lay out the data folder, so every measured run is alike.
"$build/bench/mapwatch" 1 "$RW_APP/potora" >/dev/null

read -r potora_ms potora_mb < <("$build/bench/mapwatch" "$runs" "$RW_APP/potora")
read -r minimal_ms minimal_mb < <("$build/bench/mapwatch" "$runs" "$build/bench/minimal_window")

printf '%-16s %12s %12s\n' program "to_window_ms" "peak_rss_mb"
printf '%-16s %12s %12s\n' "ポトラ" "$potora_ms" "$potora_mb"
printf '%-16s %12s %12s\n' "minimal Qt" "$minimal_ms" "$minimal_mb"
awk -v a="$potora_ms" -v b="$minimal_ms" -v c="$potora_mb" -v d="$minimal_mb" \
  'BEGIN { printf "ratio to minimal: time %.2f, memory %.2f\n", a / b, c / d }'
