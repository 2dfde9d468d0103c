#!/usr/bin/env bash
# Puts beside a cross-built Windows program the DLLs it loads and no more:
# the platform plugin and the native style (which Qt loads by name, so
# nothing imports them), then whatever they and the program import that
# comes with Qt or with MinGW, found by reading each file's import table.
# Windows' own DLLs stay out. The copies are stripped: debug sections are
# most of MinGW's runtime (libstdc++ 23 MB of them).
#   scripts/windows-dlls.sh PROGRAM.exe QT_PREFIX FOLDER
set -euo pipefail
program=$1 qt=$2 folder=$3
objdump=x86_64-w64-mingw32-objdump
search=("$qt/bin" "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")" /usr/x86_64-w64-mingw32/lib)

strip=x86_64-w64-mingw32-strip
place() {
  if [ ! -f "$2/$(basename "$1")" ] || [ "$1" -nt "$2/$(basename "$1")" ]; then
    cp "$1" "$2/"
    "$strip" --strip-unneeded "$2/$(basename "$1")"
  fi
}
mkdir -p "$folder/platforms" "$folder/styles"
place "$qt/plugins/platforms/qwindows.dll" "$folder/platforms"
place "$qt/plugins/styles/qwindowsvistastyle.dll" "$folder/styles"

declare -A placed=()
queue=("$program" "$folder/platforms/qwindows.dll" "$folder/styles/qwindowsvistastyle.dll")
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while read -r dll; do
    key=${dll,,}
    [ -n "${placed[$key]:-}" ] && continue
    placed[$key]=1
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        place "$dir/$dll" "$folder"
        queue+=("$folder/$dll")
        break
      fi
    done
  done < <("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
# Left from an earlier build that needed more.
for dll in "$folder"/*.dll; do
  name=$(basename "$dll")
  [ -n "${placed[${name,,}]:-}" ] || rm -f "$dll"
done
