#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, as CTest's emulator for the
# Windows build's tests: in the tests' own prefix, with Qt's and MinGW's
# DLLs found through WINEPATH. Given the prefix alone, makes it afresh.
#   tests/windows/wine.sh PREFIX [QT_PREFIX PROGRAM.exe [ARGUMENT...]]
set -euo pipefail
# The prefix's user, whose folders Wine names after $USER at every run, is
# 山田, so that every path the tests use runs through C:\users\山田\.
export USER=山田 WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
if [ $# -eq 1 ]; then
  command -v /usr/lib/wine/wine64 >/dev/null || { echo "wine64 missing (scripts/deps.sh --windows)"; exit 1; }
  rm -rf "$1"
  /usr/lib/wine/wine64 wineboot -i
  exec ls "$1/drive_c/users"
fi
qt=$2 program=$3
shift 3
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="Z:$qt/bin;Z:$runtime;Z:/usr/x86_64-w64-mingw32/lib"
# On a Japanese Windows: code page 932 is the ANSI code page, as users have it.
wine() { LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64 "$@"; }
# Wine keeps the host's QT_ variables from Windows programs, but passes
# WINEQT_ ones on as QT_.
for name in $(compgen -e QT_); do export "WINE$name=${!name}"; done
if [[ $(basename "$program") == tst_* ]]; then
  # A Qt Test program without a console window logs through
  # OutputDebugString, which Wine drops: its log goes to a file instead.
  log=$(mktemp)
  trap 'rm -f "$log"' EXIT
  status=0
  wine "$program" "$@" -o "$(wine winepath -w "$log" 2>/dev/null | tr -d '\r')",txt || status=$?
  tr -d '\r' < "$log"
  exit "$status"
fi
wine "$program" "$@" | tr -d '\r'
exit "${PIPESTATUS[0]}"
