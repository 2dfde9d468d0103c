#!/usr/bin/env bash
# Installs what building, running and testing ポトラ needs, from Debian's packages:
# with --package also what making its Debian package needs, with --test
# everything, with --bench everything and xpad, the start-up benchmark's
# peer, with --windows what cross-building for Windows and testing under
# Wine need. As root it installs what is missing; otherwise it names them.
set -euo pipefail

build_pkgs=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev fonts-noto-cjk)
# The bell sound: libcanberra plays the sound theme through the sound server.
run_pkgs=(libcanberra0 libcanberra-pulse sound-theme-freedesktop)
# The Debian package, and the checks of its menu entry and metadata.
package_pkgs=(dpkg-dev file desktop-file-utils appstream)
# MinGW-w64 for the Windows build (Qt's host tools moc, rcc and uic come
# from qt6-base-dev-tools), Wine to run it, lnkinfo to read its shortcut,
# Python to zip the portable folder, and the Japanese locale Wine takes its
# code page from.
windows_pkgs=(g++-mingw-w64-x86-64-posix ninja-build cmake qt6-base-dev-tools wine64 liblnk-utils python3 xz-utils locales)
test_pkgs=(xvfb icewm xdotool x11-utils xclip imagemagick faketime python3 clang libx11-dev
  ibus ibus-anthy dbus-x11 python3-gi libglib2.0-bin pulseaudio pulseaudio-utils sox x11-xkb-utils xsettingsd strace
  at-spi2-core python3-pyatspi)

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

if [ "${1:-}" = "--windows" ]; then
  install "${build_pkgs[@]}" "${windows_pkgs[@]}"
  # Wine runs as Japanese Windows (code page 932) with a Japanese locale, which
  # must exist for Wine to keep UTF-8 file names.
  if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    if [ "$(id -u)" -ne 0 ]; then
      echo "Wine's tests need the locale ja_JP.UTF-8; as root: sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen && locale-gen" >&2
      exit 1
    fi
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
  exit 0
fi
install "${build_pkgs[@]}" "${run_pkgs[@]}"
case "${1:-}" in --package | --test | --bench) install "${package_pkgs[@]}" ;; esac
case "${1:-}" in --test | --bench) ;; *) exit 0 ;; esac
install "${test_pkgs[@]}"
# The sanitizers' runtime belongs to the clang that is installed.
install "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
if [ "${1:-}" = "--bench" ]; then install xpad; fi
