#!/usr/bin/env bash
# Installs what is missing, puts Qt for Windows in place (the shared build,
# checked, or one built from Debian's source), cross-builds ポトラ for 64-bit
# Windows in build-win/ and zips its portable folder build-win/ポトラ/ as
# build-win/potora-<version>-windows-x64.zip: unzip it anywhere you can write
# and start ポトラ.exe.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh --windows
scripts/qt-windows.sh build-win/qt6-mingw
version=$(sed -n 's/^project(potora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# qt-cmake sets Qt's own toolchain, which goes on to the MinGW one.
QT_HOST_PATH=/usr build-win/qt6-mingw/bin/qt-cmake -G Ninja -S . -B build-win -DCMAKE_BUILD_TYPE=Release \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-toolchain.cmake" >/dev/null
cmake --build build-win -j"$(nproc)" --target potora

zip=build-win/potora-$version-windows-x64.zip
rm -f "$zip"
# Python's zipfile flags the names as UTF-8 (Info-ZIP's zip leaves the flag
# off), so that Explorer shows ポトラ as it is and not in code page 437.
python3 - "$zip" build-win ポトラ <<'ZIP'
import os, sys, zipfile
zip_path, base, top = sys.argv[1:]
with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for folder, subfolders, files in os.walk(os.path.join(base, top)):
        subfolders.sort()
        for name in [folder] + sorted(os.path.join(folder, f) for f in files):
            archive.write(name, os.path.relpath(name, base))
ZIP
echo "$zip: $(du -k "$zip" | cut -f1) KB"
unzip -l "$zip" | tail -n +4 | head -n -2 | awk '{print "  " $4}'
