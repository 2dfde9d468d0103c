# Shared by the real-window tests: a private X display with the icewm
# window manager (it has a system tray), a copy of the program folder, and
# small helpers around xdotool. Source it, then call rw_setup "$1".
# shellcheck shell=bash

set -euo pipefail

RW_PIDS=()
RW_TMP=""
RW_FAILED=0

rw_cleanup() {
  local pid
  for pid in "${RW_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${RW_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ -n "$RW_TMP" ] && rm -rf "$RW_TMP"
}

rw_fail() { echo "FAIL: $*" >&2; RW_FAILED=1; }
rw_pass() { echo "ok: $*"; }
rw_check() { # rw_check "what" command...
  local what=$1; shift
  if "$@"; then rw_pass "$what"; else rw_fail "$what"; fi
}
rw_finish() {
  if [ "$RW_FAILED" -ne 0 ]; then echo "real-window test failed"; exit 1; fi
  echo "real-window test passed"
}

# rw_setup <built program folder> [screen size]
rw_setup() {
  local built=$1 size=${2:-1024x768}
  trap rw_cleanup EXIT
  RW_TMP=$(mktemp -d)
  export HOME=$RW_TMP/home XDG_CONFIG_HOME=$RW_TMP/home/.config XDG_RUNTIME_DIR=$RW_TMP/run
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
  # The program lives in a folder whose path has a space, as users' may.
  RW_APP="$RW_TMP/ポトラ folder"
  cp -r "$built" "$RW_APP"

  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  export DISPLAY=:$n
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM
  Xvfb "$DISPLAY" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  RW_PIDS+=($!)
  local i
  for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; exit 1; }
  icewm >/dev/null 2>&1 &
  RW_PIDS+=($!)
  # icewm's taskbar (and its tray) is up once its window exists.
  for i in $(seq 100); do xdotool search --class icewm >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 0.5
}

# rw_start [args...]: starts the program from a directory other than its
# own folder and sets RW_PROGRAM_PID.
rw_start() {
  (cd / && exec "$RW_APP/potora" "$@") >"$RW_TMP/program.log" 2>&1 &
  RW_PROGRAM_PID=$!
  RW_PIDS+=($RW_PROGRAM_PID)
}

# rw_wait_window <name> [timeout s]: prints the id of the first mapped
# window with that exact name.
rw_wait_window() {
  local name=$1 timeout=${2:-15} i id
  for i in $(seq $((timeout * 10))); do
    id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# rw_geometry <window id>: "x y w h" of the window as mapped on screen.
rw_geometry() {
  local info
  info=$(xwininfo -id "$1")
  echo "$(awk '/Absolute upper-left X/{print $4}' <<<"$info") $(awk '/Absolute upper-left Y/{print $4}' <<<"$info") $(awk '/^ *Width/{print $2}' <<<"$info") $(awk '/^ *Height/{print $2}' <<<"$info")"
}

# rw_value <relative path>: the raw bytes of a value file, as hex.
rw_value_hex() { od -An -tx1 -v "$RW_APP/$1" | tr -d ' \n'; }

rw_screenshot() { import -window root "$1" 2>/dev/null || true; }
