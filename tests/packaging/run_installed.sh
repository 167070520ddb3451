#!/usr/bin/env bash
# The installed programs run: rorevadi FILE imports the curve on the offscreen platform, its
# file dialogs start in the installed samples, --help and --version need no display, and the
# batch tool calculates an installed sample.
#   run_installed.sh DESTDIR
source "$(dirname "$0")/common.sh"
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A home of its own: the program writes its settings there, never into the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
samples=$root/usr/share/rorevadi/samples

for option in --help --version; do
  if ! out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/rorevadi" "$option" 2>&1); then
    fail "rorevadi $option failed without a display: $out"
  fi
done
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/rorevadi" --version | grep -qE '^rorevadi [0-9]{4}\.[0-9]{2}\.[0-9]{2}$' ||
  fail "rorevadi --version is not 'rorevadi <version>'"

# The window logs what it does when asked to (rorevadi.window); the import's message box
# then waits for a user, so the program is ended once the curve is on the chart.
log=$work/window.log
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='rorevadi.window.info=true' \
  "$root/usr/bin/rorevadi" "$samples/worked_example.csv" 2>"$log" &
pid=$!
for _ in $(seq 1 300); do
  grep -q 'message: 9 Lines of date have been imported!' "$log" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
grep -qxF "rorevadi.window: file dialogs start in $samples/" "$log" || fail "the file dialogs do not start in $samples/"
grep -qxF "rorevadi.window: chart: curve of 8 points from $samples/worked_example.csv" "$log" ||
  fail "the curve of worked_example.csv is not on the chart"
grep -qxF 'rorevadi.window: message: 9 Lines of date have been imported!' "$log" || fail "no import message"
if ((failures > 0)); then
  echo "--- what the window said:" >&2
  cat "$log" >&2
fi

out=$("$root/usr/bin/rorevadi-cli" "$samples/worked_example.csv") || fail "rorevadi-cli on an installed sample"
grep -qE '^ *Mean Value +84\.5 +2\.3 +2\.4139' <<<"$out" || fail "rorevadi-cli did not print the worked example's mean: $out"
# A picture is drawn by the installed helper, which the tool finds under its prefix.
if ! out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/rorevadi-cli" --out-dir "$work/out" --picture png \
  "$samples/worked_example.csv" 2>&1); then
  fail "rorevadi-cli --picture png on an installed sample: $out"
fi
file -b "$work/out/worked_example_YieldingPoint.png" | grep -q '^PNG image data' ||
  fail "rorevadi-cli --picture png wrote no picture: $out"
finish
