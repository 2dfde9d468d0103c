#!/usr/bin/env bash
# Installs what building, running and testing ポトラ needs, from Debian's packages.
# As root it installs what is missing; otherwise it names the packages to install.
set -euo pipefail

build_pkgs=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev fonts-noto-cjk)
test_pkgs=(xvfb icewm xdotool x11-utils xclip imagemagick faketime python3 clang libx11-dev
  ibus ibus-anthy dbus-x11 python3-gi libglib2.0-bin)

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

install() {
  local missing
  mapfile -t missing < <(missing_of "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "ポトラ needs these Debian packages; install them as root:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    exit 1
  fi
}

install "${build_pkgs[@]}"
[ "${1:-}" = "--test" ] || exit 0
install "${test_pkgs[@]}"
# The sanitizers' runtime belongs to the clang that is installed.
install "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
