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
(cd build && ctest -L unit -j"$jobs" --output-on-failure)
(cd build && ctest -L realwindow --output-on-failure)

if [ -f ../shared/windows/qt6-mingw-6.4.2-x86_64.tar.xz ]; then
  ./package-windows.sh
  cmake -S . -B build-win -DPOTORA_LINUX_BUILD="$PWD/build" >/dev/null
  cmake --build build-win -j"$jobs"
  (cd build-win && ctest -L unit -j"$jobs" --output-on-failure)
  (cd build-win && ctest -L realwindow --output-on-failure)
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
