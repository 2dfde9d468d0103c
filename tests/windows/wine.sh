#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, as CTest's emulator for the
# Windows build's tests: in the tests' own prefix, with Qt's and MinGW's
# DLLs found through WINEPATH.
#   tests/windows/wine.sh PREFIX QT_PREFIX PROGRAM.exe [ARGUMENT...]
set -euo pipefail
prefix=$1 qt=$2 program=$3
shift 3
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
# The prefix's user, whose folders Wine names after $USER at every run, on a
# Japanese Windows: code page 932 is the ANSI code page, as users have it.
wine() { LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64 "$@"; }
export USER=山田 WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPATH="Z:$qt/bin;Z:$runtime;Z:/usr/x86_64-w64-mingw32/lib"
# Wine keeps the host's QT_ variables from Windows programs, but passes
# WINEQT_ ones on as QT_.
while IFS='=' read -r name _; do
  export "WINE$name=${!name}"
done < <(env | grep -E '^QT_[A-Z_]*=')
case $(basename "$program") in
tst_*)
  # A Qt Test program without a console window logs through
  # OutputDebugString, which Wine drops: its log goes to a file instead.
  log=$(mktemp)
  trap 'rm -f "$log"' EXIT
  status=0
  wine "$program" "$@" -o "$(wine winepath -w "$log" 2>/dev/null | tr -d '\r')",txt || status=$?
  tr -d '\r' < "$log"
  exit "$status"
  ;;
esac
wine "$program" "$@" | tr -d '\r'
exit "${PIPESTATUS[0]}"
