#!/usr/bin/env bash
# Compares the Windows build's code page 932 table, run under Wine, with the
# Linux build's: every difference is a character that would be stored or
# read differently on the two systems.
#   tests/windows/codepage-like-linux.sh LINUX_BUILD PREFIX QT_PREFIX codepage_table.exe
set -euo pipefail
linux=$1 prefix=$2 qt=$3 table=$4
if [ ! -x "$linux/tests/codepage_table" ]; then
  echo "skip: no Linux build's codepage_table to compare with (configure with -DPOTORA_LINUX_BUILD=...)"
  exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$linux/tests/codepage_table" > "$dir/linux"
bash "$(dirname "$0")/wine.sh" "$prefix" "$qt" "$table" > "$dir/windows"
echo "$(wc -l < "$dir/linux") lines from Linux, $(wc -l < "$dir/windows") from Windows"
if ! diff "$dir/linux" "$dir/windows" > "$dir/diff"; then
  echo "the two systems' code page 932 differ (< Linux, > Windows):"
  head -40 "$dir/diff"
  exit 1
fi
echo "code page 932: the same bytes for every character and sequence on both systems"
