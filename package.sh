#!/usr/bin/env bash
# Installs what is missing, builds ポトラ and makes its Debian package,
# build-deb/potora_<version>_<architecture>.deb.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh --package
cmake -S . -B build-deb -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DPOTORA_TESTS=OFF >/dev/null
cmake --build build-deb -j"$(nproc)"
(cd build-deb && cpack)
