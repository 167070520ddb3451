#!/usr/bin/env bash
# lintian finds no error in the package that deb.sh built; its warnings are listed.
#   lintian.sh OUTPUT_DIR VERSION
source "$(dirname "$0")/common.sh"
out=$1 version=$2
need lintian lintian
deb=$out/rorevadi_${version}_amd64.deb
report=$(lintian --display-info "$deb" 2>&1 | grep -v 'running with root privileges' || true)
echo "$report"
if grep -q '^E: ' <<<"$report"; then
  fail "lintian reports errors"
fi
echo "lintian: $(grep -c '^W: ' <<<"$report" || true) warning(s), $(grep -c '^I: ' <<<"$report" || true) info(s)"
finish
