#!/usr/bin/env bash
# Compares the Windows build's code page 932 table, run under Wine, with the
# Linux build's: every difference is a character that would be stored or
# read differently on the two systems.
#   tests/windows/codepage-like-linux.sh LINUX_BUILD PREFIX QT_PREFIX codepage_table.exe
set -euo pipefail
[ -x "$1/tests/codepage_table" ] ||
  { echo "skip: no Linux build's codepage_table to compare with (configure with -DPOTORA_LINUX_BUILD=...)"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$1/tests/codepage_table" > "$dir/linux"
bash "$(dirname "$0")/wine.sh" "$2" "$3" "$4" > "$dir/windows"
echo "$(wc -l < "$dir/linux") lines from Linux, $(wc -l < "$dir/windows") from Windows"
diff "$dir/linux" "$dir/windows" | head -40 || { echo "the two systems' code page 932 differ (< Linux, > Windows)"; exit 1; }
echo "code page 932: the same bytes for every character and sequence on both systems"
