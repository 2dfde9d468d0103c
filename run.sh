#!/usr/bin/env bash
# Installs what is missing, builds ポトラ and starts it from build/potora/.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -G "Unix Makefiles" >/dev/null
cmake --build build -j"$(nproc)" --target potora
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
There is no display to show ポトラ on. To run it on a virtual display:
  apt-get install xvfb icewm
  Xvfb :5 -screen 0 1280x1024x24 & DISPLAY=:5 icewm & DISPLAY=:5 ./build/potora/potora
MSG
  exit 1
fi
exec ./build/potora/potora "$@"
