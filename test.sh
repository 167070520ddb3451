#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
#   BUILD_DIR=...   build folder (default: build)
#   SANITIZE=1      AddressSanitizer + UndefinedBehaviorSanitizer build
set -euo pipefail
cd "$(dirname "$0")"

RZ_WITH_TEST_TOOLS=1 ./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
args=(-G Ninja -DRZ_WERROR=ON -DRZ_BUILD_TESTS=ON)
if [[ "${SANITIZE:-0}" == 1 ]]; then
  args+=(-DRZ_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  # Qt and the font libraries keep caches for the life of the process; leaks are
  # checked in a run of their own.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
else
  args+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
cmake -S . -B "$BUILD_DIR" "${args[@]}" >/dev/null
cmake --build "$BUILD_DIR"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2
