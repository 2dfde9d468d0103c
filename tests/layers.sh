#!/usr/bin/env bash
# The folders of src/ include one another in one direction only: store, then
# platform and its systems, the widget kit, the windows, app. A folder
# includes its own files and the layers below it; only app picks a
# platform's system, and a system's store (store/linux/) only implements
# store's headers: the build picks it.
cd "$(dirname "$0")/../src" || exit 1
declare -A rank=([store]=1 [platform]=3 [platform/linux]=4 [platform/windows]=4 [platform/fake]=4 [kit]=5
  [main]=6 [timer]=6 [startup]=6 [geometry]=6 [options]=6 [app]=7)
faults=$(grep -rHo '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/[^"]*"' --include='*.h' --include='*.cpp' . |
  sed 's|^\./\(.*\)/[^/]*:.*"\(.*\)/[^/]*"$|\1 \2|' | while read -r from to; do
    [ "$from" = "$to" ] || [[ $from == store/* && $to == store ]] && continue
    if [[ $to == store/* ]] || [[ $to == platform/* && $from != app ]] || [ -z "${rank[$from]:-}" ] ||
      [ -z "${rank[$to]:-}" ] || [ "${rank[$to]}" -ge "${rank[$from]}" ]; then echo "$from includes $to"; fi
  done)
[ -z "$faults" ] && echo "every include goes down the layers" && exit 0
echo "$faults" | sort | uniq -c
exit 1
