#!/usr/bin/env bash
# Puts Qt for Windows (MinGW-w64, x86-64) at PREFIX: the shared build in
# ../shared/windows/, its sha256 checked, or, where that is absent, one built
# from Debian's own source by scripts/build-qt-windows.sh (about an hour).
#   scripts/qt-windows.sh PREFIX
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(realpath -m "$1")
shared=../shared/windows
tarball=$shared/qt6-mingw-6.4.2-x86_64.tar.xz
stamp=$prefix/.potora-source

if [ -f "$tarball" ]; then
  sum=$(cut -d' ' -f1 "$tarball.sha256")
  [ "$(cat "$stamp" 2>/dev/null)" = "$sum" ] && exit 0
  echo "Checking and unpacking $tarball"
  echo "$sum  $tarball" | sha256sum --check --quiet
  rm -rf "$prefix"
  mkdir -p "$prefix"
  # The tarball holds qt6-mingw/.
  tar -xJf "$tarball" -C "$prefix" --strip-components=1
  echo "$sum" > "$stamp"
  exit 0
fi
[ "$(cat "$stamp" 2>/dev/null)" = "built from source" ] && exit 0
echo "$tarball is not there: building Qt for Windows from Debian's source (about an hour on two cores)"
scripts/build-qt-windows.sh "$prefix"
echo "built from source" > "$stamp"
