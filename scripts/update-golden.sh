#!/bin/sh
# Rewrites the expected shop-job files under tests/extras/golden/ from the
# built ventaro-gcode, after a deliberate change of the shop job's output.
# Read the difference (git diff) before committing it.
set -eu
here=$(dirname "$0")/..
bin=${1:-$here/build/default/src/cli/ventaro-gcode}
for controller in linuxcnc grbl; do
  out=$here/tests/extras/golden/shop-$controller/expect
  "$bin" --job shop --controller "$controller" -o "$out/program.nc" --quiet --report="$out/report.txt"
done
