#!/bin/sh
# Rewrites the expected files under tests/extras/golden/ from the built
# ventaro-gcode, after a deliberate change of an output (the shop job's
# programs and reports; the default run's report, station table and
# preview; never the plain program, which has no golden file to rewrite).
# Read the difference (git diff) before committing it.
set -eu
here=$(dirname "$0")/..
bin=${1:-$here/build/default/src/cli/ventaro-gcode}
for controller in linuxcnc grbl; do
  out=$here/tests/extras/golden/shop-$controller/expect
  "$bin" --job shop --controller "$controller" -o "$out/program.nc" --quiet --report="$out/report.txt"
done
out=$here/tests/extras/golden/default/expect
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$bin" -o "$scratch/program.nc" --quiet --report="$out/report.txt" --stations "$out/stations.csv" \
  --preview "$out/preview.svg"
