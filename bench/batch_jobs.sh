#!/usr/bin/env bash
# The batch tool over many files: 1,000 files of 5,000 points each (RZ_BENCH_FILES,
# RZ_BENCH_POINTS), the table on standard output.
#   - --jobs 2 against --jobs 1, in one run of this script, taken in turns; target: at most 0.6;
#     also each pair of runs on its own;
#   - --jobs 1 over all the files against one process per file; target: at most 0.5. One
#     process per file is measured on RZ_BENCH_SINGLES files (default 100) and scaled to all
#     of them, which is said in the output.
# The machine may be shared: every figure is the least / median / most of RZ_BENCH_RUNS runs
# (default 3), and every ratio is given with the range the spread allows.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"
python=/usr/bin/python3

cmake -S "$root" -B "$build" -G Ninja -DRZ_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release \
      -DRZ_BUILD_TESTS=OFF -DRZ_BUILD_GUI=OFF >/dev/null
ninja -C "$build" rorevadi-cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
PYTHONPATH="$root/bench" "$python" - "$work" "$build/src/cli/rorevadi-cli" "${RZ_BENCH_FILES:-1000}" "${RZ_BENCH_POINTS:-5000}" \
          "${RZ_BENCH_SINGLES:-100}" "${RZ_BENCH_RUNS:-3}" <<'PY'
import math, os, statistics, subprocess, sys, time
from host_steal import StolenTime

work, cli, files, points, singles, runs = sys.argv[1], sys.argv[2], *map(int, sys.argv[3:])
folder = os.path.join(work, "series")
os.mkdir(folder)
paths = []
for k in range(files):
    # Each specimen a little stiffer, stronger and more ductile than the one before.
    peak = 40.0 + (k % 50)
    soften = 0.02 + 0.0003 * (k % 40)
    path = os.path.join(folder, f"specimen_{k:05d}.csv")
    with open(path, "w") as f:
        f.write("displacement,load\n")
        for i in range(points):
            d = 30.0 * i / points
            f.write(f"{d:.9g},{peak * (1 - math.exp(-d / 1.5)) - soften * max(0.0, d - 8.0) ** 2:.9g}\n")
    paths.append(path)
size = sum(os.path.getsize(p) for p in paths)

cpu = {}

def wall(args):
    """Wall time of one process; its processor time (user + system) is kept in cpu."""
    start = time.perf_counter()
    child = subprocess.Popen(args, stdout=subprocess.DEVNULL)
    _, _, usage = os.wait4(child.pid, 0)
    elapsed = time.perf_counter() - start
    cpu.setdefault(args[2], []).append(usage.ru_utime + usage.ru_stime)
    return elapsed

one, two, separate = [], [], []
stolen = StolenTime()
for _ in range(runs):
    one.append(wall([cli, "--jobs", "1", folder]))
    two.append(wall([cli, "--jobs", "2", folder]))
    start = time.perf_counter()
    for path in paths[:singles]:
        subprocess.run([cli, path], stdout=subprocess.DEVNULL, check=False)
    separate.append((time.perf_counter() - start) * files / singles)

def spread(values):
    v = sorted(values)
    return f"{v[0]:.2f} / {statistics.median(v):.2f} / {v[-1]:.2f} s"

def ratio(a, b):
    lo, mid, hi = min(a) / max(b), statistics.median(a) / statistics.median(b), max(a) / min(b)
    return f"{mid:.3f} (between {lo:.3f} and {hi:.3f})"

print(f"{files} files x {points} points ({size / 2**20:.0f} MiB), {os.cpu_count()} cores, load average "
      f"{os.getloadavg()[0]:.1f} before; {runs} runs each, least / median / most")
print(f"--jobs 1, one process:                                {spread(one)}")
print(f"--jobs 2, one process:                                {spread(two)}")
print(f"one process per file ({singles} run, scaled to {files}):     {spread(separate)}")
print(f"processor time, --jobs 1 / --jobs 2:                  {spread(cpu['1'])} / {spread(cpu['2'])}")
print(f"ratio --jobs 2 / --jobs 1 (target <= 0.6):            {ratio(two, one)}")
print(f"ratio --jobs 1 / separate processes (target <= 0.5):  {ratio(one, separate)}")
# Each --jobs 2 run against the --jobs 1 run just before it: the machine's speed drifts between
# runs, and a pair taken back to back shares most of it.
pairs = [b / a for a, b in zip(one, two)]
print(f"--jobs 2 / --jobs 1 run by run:                       {', '.join(f'{r:.3f}' for r in pairs)}"
      f" ({sum(r <= 0.6 for r in pairs)} of {len(pairs)} at most 0.6)")
print(f"load average after: {os.getloadavg()[0]:.1f} (two jobs gain only on a processor the others leave free)")
print(stolen.text())
PY
