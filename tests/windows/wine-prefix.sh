#!/usr/bin/env bash
# Makes the Windows tests' Wine prefix afresh. Its user is 山田, so that
# every path the tests use (the temporary folders, the Startup folder, the
# rescue folder) runs through C:\users\山田\.
#   tests/windows/wine-prefix.sh PREFIX
set -euo pipefail
prefix=$1
command -v /usr/lib/wine/wine64 >/dev/null || { echo "wine64 missing (scripts/deps.sh --windows)"; exit 1; }
rm -rf "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
USER=山田 /usr/lib/wine/wine64 wineboot -i
ls "$prefix/drive_c/users"
