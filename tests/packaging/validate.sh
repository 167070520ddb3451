#!/usr/bin/env bash
# The desktop entry and the AppStream metadata pass their validators.
#   validate.sh DESTDIR APP_ID
source "$(dirname "$0")/common.sh"
root=$1 app_id=$2
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
finish
