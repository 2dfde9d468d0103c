#!/usr/bin/env bash
# Installs what is missing, builds ポトラ and runs every test: the unit and
# widget tests (offscreen) and the real-window tests (Xvfb with icewm).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh --test
cmake -S . -B build -G "Unix Makefiles" >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure --timeout 300
