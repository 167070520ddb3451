#!/usr/bin/env bash
# Installs what is missing, builds a release and the Debian package, and leaves
# rorevadi_<version>_amd64.deb in this folder. Then: sudo apt install ./rorevadi_*.deb
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build-deb}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRZ_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR"
(cd "$BUILD_DIR" && cpack -G DEB -B "$PWD/package" >/dev/null)
cp "$BUILD_DIR"/package/rorevadi_*_amd64.deb .
ls -1 rorevadi_*_amd64.deb
echo "Install it with:  sudo apt install ./$(ls -1t rorevadi_*_amd64.deb | head -1)"
