#!/usr/bin/env bash
# Installs what is missing, builds ポトラ and runs its tests: the unit and
# widget tests (offscreen, in parallel), then the real-window tests (Xvfb with
# icewm, one at a time, the long proofs in their shorter form); then a clang
# build with AddressSanitizer and UndefinedBehaviorSanitizer runs the unit
# tests, the libFuzzer target for the value reader and one real-window test.
# Where the shared Qt for Windows is at hand (../shared/windows/), the Windows
# build is cross-built and its unit tests and real-window test run under Wine.
# The long proofs in full: CRASH_ROUNDS=80 LONG_RUN_HOURS=31 ctest --test-dir
# build -R 'crash_storm|timer_long_run' --output-on-failure
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh --test
jobs=$(nproc)

cmake -S . -B build -G "Unix Makefiles" >/dev/null
cmake --build build -j"$jobs"

# The Windows build is cross-built while the Linux tests run, at the lowest
# priority: the real-window tests mostly wait for windows.
windows_log=$(mktemp)
trap 'rm -f "$windows_log"' EXIT
windows=""
if [ -f ../shared/windows/qt6-mingw-6.4.2-x86_64.tar.xz ]; then
  (nice -n 19 ./package-windows.sh &&
    cmake -S . -B build-win -DPOTORA_LINUX_BUILD="$PWD/build" >/dev/null &&
    nice -n 19 cmake --build build-win -j"$jobs") > "$windows_log" 2>&1 &
  windows=$!
fi

(cd build && ctest -L unit -j"$jobs" --output-on-failure)
(cd build && ctest -L realwindow --output-on-failure)

if [ -n "$windows" ]; then
  status=0
  wait "$windows" || status=$?
  cat "$windows_log"
  [ "$status" -eq 0 ] || exit "$status"
  # The real-window test takes the display while the unit tests run beside it.
  (cd build-win && ctest -L 'unit|realwindow' -j"$jobs" --output-on-failure)
else
  echo "SKIPPED: the Windows build and its tests under Wine, as ../shared/windows/qt6-mingw-6.4.2-x86_64.tar.xz" \
    "is not there (./package-windows.sh builds that Qt from Debian's source instead, in about an hour)"
fi

cmake -S . -B build-asan -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DPOTORA_SANITIZE=ON -DPOTORA_FUZZ=ON -DPOTORA_FUZZ_SECONDS=30 >/dev/null
cmake --build build-asan -j"$jobs"
# Leak reports would come from Qt's and fontconfig's own caches, not from
# the program; every other report fails the run.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && POTORA_SANITIZED=1 ctest -L 'unit|fuzz' -j"$jobs" --output-on-failure)
(cd build-asan && POTORA_SANITIZED=1 ctest -R realwindow/main_window --output-on-failure)
