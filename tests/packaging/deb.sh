#!/usr/bin/env bash
# cpack -G DEB builds rorevadi_<version>_amd64.deb with its dependencies, recommendations,
# description and every installed file under /usr, stripped.
#   deb.sh BUILD_DIR OUTPUT_DIR VERSION APP_ID
source "$(dirname "$0")/common.sh"
build=$1 out=$2 version=$3 app_id=$4
need dpkg-deb dpkg
need dpkg-shlibdeps dpkg-dev
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$out/rorevadi_${version}_amd64.deb
[[ -f $deb ]] || { fail "no $deb"; finish; }

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == rorevadi ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version)"
[[ $(field Architecture) == amd64 ]] || fail "Architecture: $(field Architecture)"
# Found by dpkg-shlibdeps, with versions.
for library in libqt6widgets6 libqt6core6 libqcustomplot2.1-qt6 libxlsxwriter4 libqrencode4 libc6; do
  field Depends | grep -qE "(^|, )$library \(>= " || fail "Depends lacks $library: $(field Depends)"
done
field Depends | grep -q 'qt6-qpa-plugins' || fail "Depends lacks the platform plugins"
field Recommends | grep -qE '(^|, )xdg-utils(,|$)' || fail "Recommends lacks xdg-utils: $(field Recommends)"
description=$(field Description)
(($(wc -l <<<"$description") >= 5)) || fail "the description has no long text"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/rorevadi ./usr/bin/rorevadi-cli "./usr/share/applications/$app_id.desktop" \
  "./usr/share/metainfo/$app_id.metainfo.xml" ./usr/share/icons/hicolor/scalable/apps/rorevadi.svg \
  ./usr/share/icons/hicolor/48x48/apps/rorevadi.png ./usr/share/man/man1/rorevadi-cli.1.gz \
  ./usr/share/man/man1/rorevadi.1.gz ./usr/share/bash-completion/completions/rorevadi-cli \
  ./usr/share/doc/rorevadi/copyright ./usr/share/doc/rorevadi/changelog.gz \
  ./usr/share/doc/rorevadi/user-guide.md ./usr/share/rorevadi/samples/worked_example.csv; do
  grep -qxF -- "$path" <<<"$contents" || fail "the package lacks $path"
done
outside=$(grep -v '^\./usr/' <<<"$contents" | grep -vx '\./' || true)
[[ -z $outside ]] || fail "files outside /usr: $outside"

extracted=$out/extracted
dpkg-deb -x "$deb" "$extracted"
for program in rorevadi rorevadi-cli; do
  file -b "$extracted/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$extracted/usr/share/doc/rorevadi/copyright" || fail "the copyright file is not machine-readable"
finish
