#!/usr/bin/env bash
# Builds every benchmark in Release and runs each one; extra arguments go to every
# benchmark program (e.g. --benchmark_filter=Import). bench_import_options prints the ratio
# of the import with options (15 columns, 200 MB) to the plain import (target: at most 1.5)
# and the time the import dialog needs on the 200 MB file (target: under 300 ms): its
# core part in bench_import_options, the whole dialog shown and painted in bench_import_dialog
# (which needs the desktop program's library, so the GUI is built too). batch_jobs.sh prints
# the batch tool's times over 1,000 files: --jobs 2 against --jobs 1 and one process against
# one process per file.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"

cmake -S "$root" -B "$build" -G Ninja -DRZ_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release \
      -DRZ_BUILD_TESTS=OFF -DRZ_BUILD_GUI=ON >/dev/null

targets=()
for src in "$root"/bench/bench_*.cpp; do
  [ -e "$src" ] || continue
  targets+=("$(basename "$src" .cpp)")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "no benchmarks in $root/bench" >&2
  exit 1
fi

ninja -C "$build" "${targets[@]}"

status=0
for name in "${targets[@]}"; do
  echo
  echo "=== $name"
  "$build/bench/$name" "$@" || status=$?
done
echo
echo "=== batch tool against pandas"
"$root/bench/cli_vs_pandas.sh" || status=$?
echo
echo "=== batch tool over many files"
"$root/bench/batch_jobs.sh" || status=$?
exit $status
