#!/bin/sh
# Rebuilds the dialog pictures in resources/pictures from make_pictures.cpp.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../../resources/pictures"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++20 -O1 -fPIC -Wall -Wextra -o "$tmp/make_pictures" "$here/make_pictures.cpp" $(pkg-config --cflags --libs Qt6Gui)
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$tmp/make_pictures" "$out"
