#!/bin/sh
# Redraws the figures of docs/cyclic.md: the worked example (SVG) and one real record (PNG).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root="$here/../.."
"$here/plot_cyclic.sh" --tolerance 0.05 --grid --title "Worked example: tolerance 0.05, first cycle, peak by load" \
    "$root/docs/cyclic_example.csv" "$root/docs/cyclic_example.svg"
"$here/plot_cyclic.sh" --title "CLT shear wall connection (tests/data/cyclic): tolerance 0.01, first cycle" \
    "$root/tests/data/cyclic/clt_shear_wall_psp_connection_cyclic_01.csv" "$root/docs/cyclic_real_record.png"
