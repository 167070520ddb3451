#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program.
# Without a display it runs the batch tool on a sample curve instead.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" --target rorevadi rorevadi-cli

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  cat <<MSG
No display found (DISPLAY and WAYLAND_DISPLAY are unset), so the desktop program cannot open its window.
Start it from a desktop session, or under a virtual display:  xvfb-run -a ./run.sh
Meanwhile, here is the batch tool on a sample curve:

MSG
  out_dir=$(mktemp -d "${TMPDIR:-/tmp}/rorevadi-XXXXXX")
  "$BUILD_DIR/src/cli/rorevadi-cli" --out-dir "$out_dir" --picture png "$BUILD_DIR/src/gui/worked_example.csv" || true
  echo
  echo "Report and picture written to: $out_dir"
  ls -1 "$out_dir"
  exit 0
fi

exec "$BUILD_DIR/src/gui/rorevadi" "$@"
