#!/usr/bin/env bash
# Installs what building, running and testing ポトラ needs, from Debian's packages.
# As root it installs what is missing; otherwise it names the packages to install.
set -euo pipefail

build_pkgs=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev fonts-noto-cjk)
test_pkgs=(xvfb icewm xdotool x11-utils xclip imagemagick faketime python3 clang libclang-rt-14-dev libx11-dev
  ibus ibus-anthy dbus-x11 python3-gi)

# The start-up benchmark runs where the real-window tests run, beside xpad.
bench_pkgs=("${test_pkgs[@]}" xpad)

want=("${build_pkgs[@]}")
case "${1:-}" in
  --test) want+=("${test_pkgs[@]}") ;;
  --bench) want+=("${bench_pkgs[@]}") ;;
esac

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "ポトラ needs these Debian packages; install them as root:" >&2
  echo "  apt-get install ${missing[*]}" >&2
  exit 1
fi
