#!/usr/bin/env bash
# Import + Calculate of a 1,000,000-point curve beside pandas.read_csv of the same file:
#   - the batch tool, a whole process (start-up included), against pandas.read_csv;
#   - the import and Calculate inside one process (bench_import), against pandas.read_csv;
#     target: at most 0.15;
#   - the batch tool's peak memory (maximum resident set) less that of a run on a 4-line
#     file, against the file's size; target: at most 2.
# pandas.read_csv is timed inside Python (interpreter start and "import pandas" left out);
# the whole pandas process is shown too. The machine may be shared: every figure is given as
# the least, the median and the most of RZ_BENCH_RUNS runs (default 7), taken in turns.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"
python=/usr/bin/python3  # the system's: the one Debian's pandas is for

if ! "$python" -c "import pandas" 2>/dev/null; then
  RZ_WITH_BENCH_TOOLS=1 "$root/scripts/setup.sh"
fi
cmake -S "$root" -B "$build" -G Ninja -DRZ_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release \
      -DRZ_BUILD_TESTS=OFF -DRZ_BUILD_GUI=OFF >/dev/null
ninja -C "$build" rorevadi-cli bench_import >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
PYTHONPATH="$root/bench" "$python" - "$work" "$build" "${RZ_BENCH_RUNS:-7}" <<'PY'
import json, math, os, statistics, subprocess, sys, time
from host_steal import StolenTime

work, build, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
cli = f"{build}/src/cli/rorevadi-cli"
bench = f"{build}/bench/bench_import"

def write_curve(path, n):
    with open(path, "w") as f:
        f.write("displacement,load\n")
        for i in range(n):
            d = i * 10.0 / n
            f.write(f"{d:.9g},{120*(1-math.exp(-d/1.2)) - 4.0*max(0.0, d-6.0)**2:.9g}\n")

small, large, tiny = (f"{work}/curve_{n}.csv" for n in (250_000, 1_000_000, 4))
write_curve(small, 250_000)
write_curve(large, 1_000_000)
write_curve(tiny, 4)
size = os.path.getsize(large)

def run(args):
    """Wall time in seconds and peak resident memory in bytes of one process."""
    start = time.perf_counter()
    child = subprocess.Popen(args, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{args[0]} failed with status {status}")
    return elapsed, usage.ru_maxrss * 1024

read_csv_script = (
    "import pandas, sys, time\n"
    "for _ in range(int(sys.argv[2])):\n"
    "    t = time.perf_counter(); pandas.read_csv(sys.argv[1]); print(time.perf_counter() - t)\n")

def in_process(path, repetitions):
    env = dict(os.environ, RZ_BENCH_CURVE=path)
    out = subprocess.run([bench, "--benchmark_filter=ImportCalculateGiven", "--benchmark_format=json",
                          f"--benchmark_repetitions={repetitions}", "--benchmark_min_time=0.3"],
                         env=env, check=True, capture_output=True, text=True).stdout
    found = [b["real_time"] / 1000.0 for b in json.loads(out)["benchmarks"]
             if b.get("run_type") == "iteration" and b["time_unit"] == "ms"]
    if not found:
        sys.exit("bench_import gave no time")
    return found

stolen = StolenTime()
cli_large, cli_small, cli_memory, tiny_memory = [], [], [], []
pandas_call, pandas_process, inside = [], [], []
for _ in range(runs):
    t, memory = run([cli, large]); cli_large.append(t); cli_memory.append(memory)
    cli_small.append(run([cli, small])[0])
    tiny_memory.append(run([cli, tiny])[1])
    pandas_process.append(run([sys.executable, "-c", "import pandas, sys; pandas.read_csv(sys.argv[1])", large])[0])
    out = subprocess.run([sys.executable, "-c", read_csv_script, large, "1"],
                         check=True, capture_output=True, text=True).stdout
    pandas_call.extend(float(x) for x in out.split())
    inside.extend(in_process(large, 1))

def spread(values, unit="s", scale=1.0):
    v = sorted(x * scale for x in values)
    return f"{v[0]:.3f} / {statistics.median(v):.3f} / {v[-1]:.3f} {unit}"

def ratio(a, b):
    lo, mid, hi = min(a) / max(b), statistics.median(a) / statistics.median(b), max(a) / min(b)
    return f"{mid:.3f} (between {lo:.3f} and {hi:.3f})"

print(f"{runs} runs each; least / median / most")
print(f"rorevadi-cli, 250,000 points, import + calculate:     {spread(cli_small)}")
print(f"rorevadi-cli, 1,000,000 points, import + calculate:   {spread(cli_large)}")
print(f"in process, 1,000,000 points, import + calculate:     {spread(inside)}")
print(f"pandas.read_csv, 1,000,000 points (the call alone):   {spread(pandas_call)}")
print(f"pandas, whole process (start, import, read_csv):      {spread(pandas_process)}")
print(f"ratio batch tool / pandas.read_csv:                   {ratio(cli_large, pandas_call)}")
print(f"ratio in process / pandas.read_csv (target <= 0.15):  {ratio(inside, pandas_call)}")
print(f"ratio batch tool / whole pandas process:              {ratio(cli_large, pandas_process)}")
print(f"growth 250k -> 1M (linear = x4):                      x{statistics.median(cli_large) / statistics.median(cli_small):.2f}")
peak, base = max(cli_memory), max(tiny_memory)
print(f"file: {size / 2**20:.1f} MiB; batch tool peak memory {peak / 2**20:.1f} MiB, "
      f"{base / 2**20:.1f} MiB on a 4-line file")
print(f"peak memory of the import over the file's size (target <= 2): {(peak - base) / size:.2f} "
      f"(whole process: {peak / size:.2f})")
print(stolen.text())
PY
