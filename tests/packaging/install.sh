#!/usr/bin/env bash
# Installs the build into a fresh DESTDIR under the prefix /usr.
#   install.sh BUILD_DIR DESTDIR
source "$(dirname "$0")/common.sh"
build=$1 root=$2
rm -rf "$root"
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
echo "installed into $root"
