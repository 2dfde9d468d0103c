#!/usr/bin/env bash
# Builds Qt 6.4.2 for Windows (x86-64, MinGW-w64) from Debian's own source
# package qt6-base, as the shared build was made: Core, Gui, Widgets and Test
# with the windows and offscreen platform plugins, installed at PREFIX. About
# an hour on two cores; scripts/qt-windows.sh calls it where no shared build
# is at hand. Runs as root (it installs its packages); WORK keeps the source
# and the build (default: PREFIX.work), so that a second run goes on.
#   scripts/build-qt-windows.sh PREFIX [WORK]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
prefix=$(realpath -m "$1")
work=$(realpath -m "${2:-$prefix.work}")
version=6.4.2+dfsg
jobs=$(nproc)

# 1. Packages: the cross-compiler, the build tools, and Debian's Qt for the
#    host tools (moc, rcc, uic) the cross-build runs.
packages=(g++-mingw-w64-x86-64-posix ninja-build cmake qt6-base-dev qt6-base-dev-tools dpkg-dev xz-utils)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || { echo "as root: apt-get install ${missing[*]}" >&2; exit 1; }
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# 2. Source: Debian's qt6-base, through a deb-src entry of apt's own kept
#    apart from the system's setup.
mkdir -p "$work/apt/sources" "$work/apt/lists/partial" "$work/source"
cat > "$work/apt/sources/bookworm-src.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
apt_own=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt/sources"
  -o Dir::State::Lists="$work/apt/lists")
orig=$work/source/qt6-base_${version}.orig.tar.xz
if [ ! -f "$orig" ]; then
  apt-get "${apt_own[@]}" update -qq
  (cd "$work/source" && apt-get "${apt_own[@]}" source --download-only "qt6-base=${version}-10")
fi
src=$work/source/qtbase
if [ ! -f "$src/CMakeLists.txt" ]; then
  rm -rf "$src" && mkdir -p "$src"
  tar -xJf "$orig" -C "$src" --strip-components=1
fi

# 3. What Debian's source needs for this build: its wintab is removed (so
#    tabletevent is off below), and the Windows platform plugin of 6.4.2 does
#    not compile with OpenGL off.
plugin=$src/src/plugins/platforms/windows/qwindowswindow.cpp
if ! grep -q 'QT_CONFIG(dynamicgl) && QT_CONFIG(opengl)' "$plugin"; then
  [ "$(grep -c '^#if QT_CONFIG(dynamicgl)$' "$plugin")" -eq 2 ] || { echo "unexpected $plugin" >&2; exit 1; }
  sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' "$plugin"
fi

# 4. Configure for Windows with MinGW-w64, Debian's Qt as the host.
cmake -G Ninja -S "$src" -B "$work/build" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-toolchain.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_sql=OFF \
  -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF -DFEATURE_vulkan=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_tabletevent=OFF -DCMAKE_INSTALL_PREFIX="$prefix"

# 5. Build (about an hour on two cores) and install.
cmake --build "$work/build" -j"$jobs"
cmake --install "$work/build"
