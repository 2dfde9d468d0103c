#!/usr/bin/env bash
# Installs what is missing, builds ポトラ and runs every test: unit and
# widget tests (offscreen), real-window tests (Xvfb with icewm), then the
# whole suite again built with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang), together with a bounded libFuzzer run of the value reader.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh --test
jobs=$(nproc)

cmake -S . -B build -G "Unix Makefiles" >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure --timeout 600)

cmake -S . -B build-asan -G "Unix Makefiles" -DCMAKE_CXX_COMPILER=clang++ \
  -DPOTORA_SANITIZE=ON -DPOTORA_FUZZ=ON -DPOTORA_FUZZ_SECONDS=30 >/dev/null
cmake --build build-asan -j"$jobs"
# Leak reports would come from Qt's and fontconfig's own caches, not from
# the program; every other report fails the run.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The crash storm's 80 rounds ran above; here 50 keep the run short.
(cd build-asan && CRASH_ROUNDS=50 POTORA_SANITIZED=1 ctest --output-on-failure --timeout 600)
