#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan, in build-fuzz) and runs each for
# the given number of seconds. Prints executions and time per target; exits non-zero
# when any target finds a crash, a leak, a timeout or a broken invariant.
#   bench/fuzz.sh 600     a long run
#   bench/fuzz.sh 20      the short run of CI (four targets, about a minute and a half)
# Inputs that fail are kept in build-fuzz/artifacts; what the fuzzers learn stays in
# build-fuzz/corpus and is reused by the next run.
set -euo pipefail

if [[ $# -ne 1 || ! "$1" =~ ^[0-9]+$ || "$1" -lt 1 ]]; then
  echo "usage: $0 SECONDS" >&2
  exit 2
fi
per_target=$1

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
targets=(fuzz_reader fuzz_numbers fuzz_import_calculate fuzz_envelope fuzz_yield_definitions
         fuzz_import_options)

# The sanitizer and libFuzzer runtimes come in a package of their own, which clang only
# recommends.
runtime="$(clang++ -print-resource-dir)/lib/linux/libclang_rt.fuzzer-$(uname -m).a"
if [[ ! -f "$runtime" ]]; then
  echo "libFuzzer runtime missing ($runtime): install libclang-rt-dev" >&2
  exit 1
fi

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" "${targets[@]}" >/dev/null

# Seeds: the test fixtures, the start of every real curve (enough for the fuzzers to
# learn the shape without slowing every run), and number texts.
seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/files" "$seeds/numbers"
for f in "$root"/tests/data/import/* "$root"/tests/data/bad/* "$root"/tests/data/import_options/*.{csv,txt}; do
  [[ -f "$f" ]] || continue
  head -c 4096 "$f" >"$seeds/files/$(basename "$(dirname "$f")")_$(basename "$f")"
done
real="$root/../shared/data/real"
if [[ -d "$real" ]]; then
  for f in "$real"/*.csv; do
    head -n 40 "$f" >"$seeds/files/real_$(basename "$f")"
  done
fi
i=0
for t in 0 -0 1.5 ,5 5, -1.25e-3 +7E+2 0,15 1e-400 4.9e-324 2.2250738585072011e-308 \
         1.7976931348623157e308 1.7976931348623159e308 1e308 1e309 123456789012345678901234567890 \
         0.1 9007199254740993 1E15 999999999999999.9 2147483647 -2147483648 2147483648; do
  printf '%s' "$t" >"$seeds/numbers/n$((i++))"
done

# Curves whose line 0 holds three factor texts, which the import + Calculate target
# types into the factor fields.
mkdir -p "$seeds/curves"
printf '0.15,0.1,0.75\n0,0\n1,50\n1.5,75\n2,80\n3,95\n4,100\n5,90\n6,80\n' >"$seeds/curves/worked"
printf '0.15 0.1 0.75\n0,0\n1,100\n2,90\n3,85\n4,80\n' >"$seeds/curves/load_equal_to_ultimate"
printf '0.5,0.5,0.5\n0,20\n1,60\n2,100\n3,70\n' >"$seeds/curves/above_secant_at_start"
printf '1e-300\t0.999999999\t0,5\n0,0\n0,50\n1,100\n2,50\n' >"$seeds/curves/same_first_displacement"
printf '0.15,0.1,0.75\n0,0\n1,1e308\n2,-1e308\n' >"$seeds/curves/overflow"

# Cyclic records: a tolerance byte, a choice byte, then (displacement, load) byte pairs.
mkdir -p "$seeds/cycles"
printf '\x04\x00\x00\x00\x08\x10\x10\x20\x08\x10\x00\x00\xf8\xf0\xf0\xe0\xf8\xf0\x00\x00' >"$seeds/cycles/one_cycle"
printf '\x02\x02\x00\x00\x04\x08\xfc\xf8\x08\x0c\xf8\xf4\x08\x0a\xf8\xf6\x10\x10\xf0\xf0\x00\x00' >"$seeds/cycles/growing_max"
printf '\x05\x83\x00\x00\x7f\x01\x80\xff\x00\x00' >"$seeds/cycles/huge_range"

# The yield definitions make their curve from any bytes (FuzzedDataProvider); two long
# byte strings start them off from long curves.
mkdir -p "$seeds/bytes"
printf '\xc8\x00\x10\x20\x30\x40\x50\x60\x70\x80\x90\xa0\xb0\xc0\xd0\xe0\xf0' >"$seeds/bytes/grid"
printf '\xc8\x02%s' "$(printf '\x05\x46%.0s' {1..40})$(printf '\x05\x10%.0s' {1..40})" >"$seeds/bytes/ramp"

declare -A seed_dir=([fuzz_reader]=files [fuzz_numbers]=numbers [fuzz_import_calculate]="files curves"
                     [fuzz_envelope]=cycles [fuzz_yield_definitions]=bytes [fuzz_import_options]=files)
declare -A dict=([fuzz_reader]=reader.dict [fuzz_numbers]=numbers.dict [fuzz_import_calculate]=reader.dict
                 [fuzz_import_options]=reader.dict)

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

status=0
summary=()
for name in "${targets[@]}"; do
  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name/"
  log="$build/$name.log"
  mkdir -p "$corpus" "$artifacts"
  seed_args=()
  for d in ${seed_dir[$name]}; do
    seed_args+=("$seeds/$d")
  done
  echo "=== $name: $per_target s"
  dict_args=()
  if [[ -n "${dict[$name]:-}" ]]; then
    dict_args=(-dict="$root/fuzz/${dict[$name]}")
  fi
  rc=0
  "$build/$name" -max_total_time="$per_target" -timeout=10 -max_len=8192 -print_final_stats=1 \
      "${dict_args[@]}" -artifact_prefix="$artifacts" \
      "$corpus" "${seed_args[@]}" >"$log" 2>&1 || rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1 || true)
  secs=$(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | grep -o 'in [0-9]*' | grep -o '[0-9]*' | tail -n 1 || true)
  if [[ $rc -ne 0 ]]; then
    status=1
    echo "FAILED (exit $rc); log $log, input in $artifacts"
    grep -m 20 -E 'ERROR|invariant broken|runtime error|SUMMARY|Test unit written' "$log" || tail -n 30 "$log"
    summary+=("$name: FAILED after ${runs:-?} executions")
  else
    summary+=("$name: ${runs:-?} executions in ${secs:-$per_target} s, corpus $(find "$corpus" -type f | wc -l) inputs")
  fi
done

echo
printf '%s\n' "${summary[@]}"
exit $status
