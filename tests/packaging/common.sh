# Shared by the packaging tests: failure reporting and the skip code ctest understands.
set -euo pipefail
SKIP=77
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
need() { # need TOOL PACKAGE: skip the test when a tool is missing
  if ! command -v "$1" >/dev/null 2>&1; then
    echo "SKIPPED: $1 is not installed (Debian package $2; scripts/setup.sh installs it)"
    exit "$SKIP"
  fi
}
finish() {
  if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
# The options rorevadi-cli documents in its --help, one per line.
cli_options() {
  "$1" --help | sed -nE 's/^ {1,8}(-[A-Za-z0-9], )?(--[A-Za-z0-9][A-Za-z0-9-]*).*/\2/p'
}
