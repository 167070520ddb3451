#!/usr/bin/env bash
# The installed bash completion of rorevadi-cli knows every option of its --help, completes
# option names, the picture formats, folders after --out-dir and files elsewhere.
#   completion.sh DESTDIR
source "$(dirname "$0")/common.sh"
root=$1
script=$root/usr/share/bash-completion/completions/rorevadi-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out folder" "$work/other"
touch "$work/curve.csv" "$work/other/x.csv"

complete_line() { # complete_line WORD...: what completes the last word, one per line
  (
    source "$script"
    COMP_WORDS=(rorevadi-cli "$@")
    COMP_CWORD=$#
    cd "$work"
    _rorevadi_cli
    printf '%s\n' "${COMPREPLY[@]}"
  )
}
expect() { # expect DESCRIPTION EXPECTED ACTUAL
  [[ $2 == "$3" ]] || fail "$1: expected [$2], got [$3]"
}

while read -r option; do
  words=$(complete_line "$option")
  grep -qxF -- "$option" <<<"$words" || fail "the completion does not offer $option"
done < <(cli_options "$root/usr/bin/rorevadi-cli")
expect "--pi" "--picture" "$(complete_line --pi)"
expect "--picture p" $'png\npdf' "$(complete_line --picture p)"
expect "--out-dir o" $'other\nout folder' "$(complete_line --out-dir o | sort)"
expect "files" $'curve.csv' "$(complete_line --json cu)"
finish
