#!/usr/bin/env bash
# Import + Calculate of a 1,000,000-point curve through the batch tool (text output),
# beside pandas.read_csv of the same file: the whole batch run should take less time
# than pandas needs just to read it. Also checks that the run grows linearly with size.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"

RZ_WITH_BENCH_TOOLS=1 "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DRZ_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release \
      -DRZ_BUILD_TESTS=OFF -DRZ_BUILD_GUI=OFF >/dev/null
ninja -C "$build" rorevadi-cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$work" <<'PY'
import math, sys
for n in (250_000, 1_000_000):
    with open(f"{sys.argv[1]}/curve_{n}.csv", "w") as f:
        f.write("displacement,load\n")
        for i in range(n):
            d = i * 10.0 / n
            f.write(f"{d:.9g},{120*(1-math.exp(-d/1.2)) - 4.0*max(0.0, d-6.0)**2:.9g}\n")
PY

best() {  # best wall time of 3 runs, in seconds
  local t0 t1 best=999
  for _ in 1 2 3; do
    t0=$(date +%s.%N)
    "$@" >/dev/null
    t1=$(date +%s.%N)
    best=$(python3 -c "print(round(min($best, $t1 - $t0), 3))")
  done
  echo "$best"
}

cli_small=$(best "$build/src/cli/rorevadi-cli" "$work/curve_250000.csv")
cli=$(best "$build/src/cli/rorevadi-cli" "$work/curve_1000000.csv")
pandas=$(best /usr/bin/python3 -c "import pandas,sys; pandas.read_csv(sys.argv[1])" "$work/curve_1000000.csv")
echo "rorevadi-cli, 250,000 points, import + calculate:   ${cli_small} s"
echo "rorevadi-cli, 1,000,000 points, import + calculate: ${cli} s"
echo "pandas.read_csv, 1,000,000 points (read only):      ${pandas} s"
python3 -c "print('ratio cli / pandas: %.2f (target < 1)' % ($cli / $pandas)); print('growth 250k -> 1M: x%.2f (linear = x4)' % ($cli / max($cli_small, 1e-9)))"
