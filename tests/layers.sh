#!/usr/bin/env bash
# The folders of src/ include one another in one direction only: store at
# the bottom, then platform, its linux/ and fake/, the widget kit, the
# windows, and app on top. A folder includes its own files and the layers
# below it, never a folder beside it; only app picks a platform's
# implementation, and a system's part of the store (store/linux/) is
# picked by the build alone: it only implements store's headers.
set -euo pipefail
cd "$(dirname "$0")/../src"

rank() {
  case $1 in
    store) echo 1 ;;
    store/linux | store/windows) echo 2 ;;
    platform) echo 3 ;;
    platform/linux | platform/windows | platform/fake) echo 4 ;;
    kit) echo 5 ;;
    main | timer | startup | geometry | options) echo 6 ;;
    app) echo 7 ;;
    *) echo unknown ;;
  esac
}

faults=0
while IFS= read -r file; do
  from=$(dirname "$file")
  while IFS= read -r included; do
    [[ $included == */* ]] || continue # a file of the same folder
    to=$(dirname "$included")
    [ "$to" = "$from" ] && continue
    why=""
    if [ "$(rank "$from")" = unknown ] || [ "$(rank "$to")" = unknown ]; then
      why="a folder outside the layers"
    elif [[ $to == store/* ]]; then
      why="the build picks the system's store"
    elif [[ $from == store/* && $to == store ]]; then
      why=""
    elif [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
      why="not a layer below"
    elif [[ $to == platform/* ]] && [ "$from" != app ]; then
      why="only app picks a platform"
    fi
    if [ -n "$why" ]; then
      echo "$file includes $included: $why"
      faults=$((faults + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

if [ "$faults" -ne 0 ]; then
  echo "$faults includes against the layers"
  exit 1
fi
echo "every include goes down the layers"
