#!/usr/bin/env bash
# The installed tree: every file in its place, of its kind, and the man pages complete.
#   check_tree.sh DESTDIR APP_ID
source "$(dirname "$0")/common.sh"
app_id=$2
root=$1
need file file

expect_file() { # expect_file PATH [file(1) pattern]
  local path=$root/$1
  if [[ ! -f $path ]]; then
    fail "missing $1"
    return
  fi
  if [[ $# -ge 2 ]] && ! file -b "$path" | grep -Eq "$2"; then
    fail "$1 is not '$2': $(file -b "$path")"
  fi
}

expect_file usr/bin/rorevadi 'ELF 64-bit .*executable'
expect_file usr/bin/rorevadi-cli 'ELF 64-bit .*executable'
expect_file usr/libexec/rorevadi/rorevadi-cli-drawing 'ELF 64-bit .*executable'
for program in bin/rorevadi bin/rorevadi-cli libexec/rorevadi/rorevadi-cli-drawing; do
  [[ -x $root/usr/$program ]] || fail "usr/$program is not executable"
done
# The batch tool starts without the drawing libraries; runs that draw go to its helper.
if needed=$(objdump -p "$root/usr/bin/rorevadi-cli" | grep -E 'NEEDED +libQt6(Gui|Widgets)'); then
  fail "usr/bin/rorevadi-cli links a drawing library: $needed"
fi
for sample in worked_example.csv synthetic_pushover_100.csv PROVENANCE.md \
  cfs_plywood_to_steel_screw_connection_monotonic_01.csv steel_1045_tensile_coupon_01.csv; do
  expect_file "usr/share/rorevadi/samples/$sample"
done
expect_file "usr/share/applications/$app_id.desktop"
expect_file "usr/share/metainfo/$app_id.metainfo.xml" 'XML'
expect_file usr/share/icons/hicolor/scalable/apps/rorevadi.svg 'SVG'
for size in 16 22 24 32 48 64 128 256; do
  expect_file "usr/share/icons/hicolor/${size}x${size}/apps/rorevadi.png" "PNG image data, $size x $size,"
done
expect_file usr/share/man/man1/rorevadi.1.gz 'gzip compressed'
expect_file usr/share/man/man1/rorevadi-cli.1.gz 'gzip compressed'
expect_file usr/share/bash-completion/completions/rorevadi-cli
expect_file usr/share/doc/rorevadi/user-guide.md
expect_file usr/share/doc/rorevadi/copyright
expect_file usr/share/doc/rorevadi/changelog.gz 'gzip compressed'
# Every picture the guide shows is installed beside it.
while read -r picture; do
  expect_file "usr/share/doc/rorevadi/$picture"
done < <(grep -oE '!\[[^]]*\]\([^)]+\)' "$root/usr/share/doc/rorevadi/user-guide.md" | sed -E 's/.*\((.*)\)/\1/')

# The desktop entry opens one file, offers the data types and asks for no default.
desktop=$root/usr/share/applications/$app_id.desktop
grep -qx 'Exec=rorevadi %f' "$desktop" || fail "desktop entry: Exec is not 'rorevadi %f'"
grep -qx 'Icon=rorevadi' "$desktop" || fail "desktop entry: Icon is not rorevadi"
for type in text/csv text/plain text/tab-separated-values; do
  grep -E '^MimeType=' "$desktop" | grep -q "$type;" || fail "desktop entry: MimeType lacks $type"
done
[[ -z $(find "$root" -name 'mimeapps.list') ]] || fail "a mimeapps.list would make us a default program"

# man rorevadi-cli shows every option of rorevadi-cli --help; man rorevadi its own.
man_text() { zcat "$1" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g'; }
cli_man=$(man_text "$root/usr/share/man/man1/rorevadi-cli.1.gz")
count=0
while read -r option; do
  count=$((count + 1))
  grep -qF -- "$option" <<<"$cli_man" || fail "man rorevadi-cli does not show $option"
done < <(cli_options "$root/usr/bin/rorevadi-cli")
((count >= 5)) || fail "only $count options found in rorevadi-cli --help"
gui_man=$(man_text "$root/usr/share/man/man1/rorevadi.1.gz")
for option in --help --version FILE; do
  grep -qF -- "$option" <<<"$gui_man" || fail "man rorevadi does not show $option"
done
grep -qE '^\.TH ROREVADI-CLI "?1"?' <<<"$cli_man" || fail "man rorevadi-cli has no .TH header of section 1"
finish
