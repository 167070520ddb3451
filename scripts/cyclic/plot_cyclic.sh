#!/bin/sh
# Builds scripts/cyclic/plot_cyclic.cpp with the core's envelope and reader sources and runs
# it with the given arguments, e.g.
#   scripts/cyclic/plot_cyclic.sh --envelope last tests/data/cyclic/clt_rocking_wall_cyclic_01.csv /tmp/wall.png
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src="$here/../../src"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++20 -O1 -fPIC -ffp-contract=off -Wall -Wextra -I"$src" -o "$tmp/plot_cyclic" "$here/plot_cyclic.cpp" \
    "$src/core/cyclic/Envelope.cpp" "$src/core/cyclic/CyclicOptions.cpp" "$src/core/analysis/Arithmetic.cpp" \
    "$src/core/import/DataFileReader.cpp" "$src/core/text/NumberText.cpp" $(pkg-config --cflags --libs Qt6Gui Qt6Svg)
QT_QPA_PLATFORM=offscreen "$tmp/plot_cyclic" "$@"
