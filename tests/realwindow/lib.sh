# Shared by the real-window tests: a private X display with the icewm
# window manager (it has a system tray), a copy of the program folder, and
# small helpers around xdotool. Source it, then call rw_setup "$1".
# shellcheck shell=bash

set -euo pipefail

RW_PIDS=()
RW_MOUNTS=()
RW_TMP=""
RW_FAILED=0

rw_cleanup() {
  local pid
  for pid in "${RW_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${RW_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  local mount
  for mount in "${RW_MOUNTS[@]}"; do umount "$mount" 2>/dev/null || umount -l "$mount" || true; done
  [ -n "$RW_TMP" ] && rm -rf "$RW_TMP"
}

rw_fail() { echo "FAIL: $*" >&2; RW_FAILED=1; }
rw_pass() { echo "ok: $*"; }
rw_check() { # rw_check "what" command...
  local what=$1; shift
  if "$@"; then rw_pass "$what"; else rw_fail "$what"; fi
}
rw_finish() {
  # A sanitizer build reports into the program's output.
  if [ -f "$RW_TMP/program.log" ] && grep -E 'AddressSanitizer|runtime error:' "$RW_TMP/program.log" >&2; then
    rw_fail "sanitizer report in the program's output"
  fi
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
  # -noreset: by default the server resets when its last client leaves, and
  # a client that connects during the reset (icewm right after xdpyinfo) is
  # refused with "Can't open display".
  Xvfb "$DISPLAY" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
  RW_PIDS+=($!)
  local i
  for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; exit 1; }
  rw_start_wm
}

# rw_start_wm: starts icewm and waits for its taskbar (and tray); sets RW_WM_PID.
rw_start_wm() {
  icewm >>"$RW_TMP/icewm.log" 2>&1 &
  RW_WM_PID=$!
  RW_PIDS+=($RW_WM_PID)
  local i up=0
  # The check window's property outlives a window manager that was stopped
  # (tray.sh restarts it), so icewm's own windows must be there as well.
  for i in $(seq 100); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
      xdotool search --class icewm >/dev/null 2>&1; then up=1; break; fi
    sleep 0.1
  done
  [ "$up" = 1 ] || { echo "icewm did not start:"; cat "$RW_TMP/icewm.log"; exit 1; }
  sleep 0.5
}

rw_stop_wm() { kill "$RW_WM_PID" 2>/dev/null || true; wait "$RW_WM_PID" 2>/dev/null || true; }

# rw_start [args...]: starts the program from a directory other than its
# own folder and sets RW_PROGRAM_PID.
rw_start() {
  (cd / && exec "$RW_APP/potora" "$@") >>"$RW_TMP/program.log" 2>&1 &
  RW_PROGRAM_PID=$!
  RW_PIDS+=($RW_PROGRAM_PID)
}

# rw_start_fast [args...]: rw_start with the program's clock running thirty
# times as fast, so that its minute's check comes every two seconds.
rw_start_fast() {
  local lib
  lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1 || true)
  [ -n "$lib" ] || { echo "libfaketime is missing"; exit 77; }
  (cd / && exec env LD_PRELOAD="$lib" FAKETIME="+0 x30" "$RW_APP/potora" "$@") >>"$RW_TMP/program.log" 2>&1 &
  RW_PROGRAM_PID=$!
  RW_PIDS+=($RW_PROGRAM_PID)
}

# rw_tray_icons: ids of the program's icons docked in icewm's tray.
rw_tray_icons() {
  xwininfo -root -tree | grep -A2 '"YXTrayEmbedder"' | awk '/\("potora" "potora"\)/{print $1}' || true
}

# rw_wait_tray_icon [timeout s]: prints the id of the docked icon.
rw_wait_tray_icon() {
  local timeout=${1:-10} i id
  for i in $(seq $((timeout * 10))); do
    id=$(rw_tray_icons | head -n1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# rw_on_top <window id>: the window is the uppermost client and has the focus.
rw_on_top() {
  local want top active
  want=$(printf '%d' "$1")
  top=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //' | tr ',' '\n' | tail -n1)
  active=$(xdotool getactivewindow 2>/dev/null || true)
  [ "$(printf '%d' "$top")" = "$want" ] && [ "$active" = "$want" ]
}

# rw_cover: maps another program's window over the upper left of the
# screen and waits until it is on top; sets RW_COVER.
rw_cover() {
  xmessage -geometry 900x700+0+0 "cover" >/dev/null 2>&1 &
  RW_COVER_PID=$!
  RW_PIDS+=($RW_COVER_PID)
  local i
  for i in $(seq 50); do
    RW_COVER=$(xdotool search --onlyvisible --class xmessage 2>/dev/null | tail -n1 || true)
    [ -n "$RW_COVER" ] && rw_on_top "$RW_COVER" && return 0
    sleep 0.1
  done
  echo "the covering window did not come up"; return 1
}

rw_uncover() { kill "$RW_COVER_PID" 2>/dev/null || true; wait "$RW_COVER_PID" 2>/dev/null || true; sleep 0.3; }

# rw_viewable <window id>
rw_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# rw_title <window id>: the title a desktop shows, _NET_WM_NAME (WM_NAME
# only for a window that sets no other, such as xmessage).
rw_title() {
  local title
  title=$(xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
  [ -n "$title" ] || title=$(xdotool getwindowname "$1" 2>/dev/null || true)
  printf '%s' "$title"
}

# rw_windows <title>: ids of the windows on screen titled exactly that. With
# a window manager running these are its clients, so that a tray icon's own
# window is not taken for one; without, every mapped window.
rw_windows() {
  local id check candidates
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p')
  if [ -n "$check" ] && xwininfo -id "$check" >/dev/null 2>&1; then
    candidates=$(xprop -root _NET_CLIENT_LIST 2>/dev/null | sed -n 's/.*# //p' | tr -d ',')
  else
    candidates=$(xdotool search --onlyvisible --name . 2>/dev/null || true)
  fi
  for id in $candidates; do
    if rw_viewable "$id" && [ "$(rw_title "$id")" = "$1" ]; then printf '%d\n' "$id"; fi
  done
  return 0
}

# rw_wait_window <title> [timeout s] [id to pass over...]: prints the id of
# the first mapped window with exactly that title, other than those given.
rw_wait_window() {
  local title=$1 end=$((SECONDS + ${2:-15})) id
  shift $(($# < 2 ? $# : 2))
  while [ "$SECONDS" -le "$end" ]; do
    for id in $(rw_windows "$title"); do
      if ! printf '%s\n' "$@" | grep -qx "$id"; then echo "$id"; return 0; fi
    done
    sleep 0.1
  done
  return 1
}

# rw_count <title>: how many mapped windows have that title.
rw_count() { rw_windows "$1" | wc -l; }

# rw_geometry <window id>: "x y w h" of the window as mapped on screen.
rw_geometry() {
  local info
  info=$(xwininfo -id "$1")
  echo "$(awk '/Absolute upper-left X/{print $4}' <<<"$info") $(awk '/Absolute upper-left Y/{print $4}' <<<"$info") $(awk '/^ *Width/{print $2}' <<<"$info") $(awk '/^ *Height/{print $2}' <<<"$info")"
}

# rw_value <relative path>: the raw bytes of a value file, as hex.
rw_value_hex() { od -An -tx1 -v "$RW_APP/$1" | tr -d ' \n'; }

rw_screenshot() { import -window root "$1" 2>/dev/null || true; }
