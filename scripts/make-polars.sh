#!/usr/bin/env bash
# Makes the NACA 4412 polars Ventaro ships (data/polars/), so that the
# blade's performance can be worked out without XFOIL installed. Needs
# Debian's xfoil and a C compiler; run from the project's root:
#   scripts/make-polars.sh
#
# Debian's xfoil traps floating-point exceptions and dies with SIGFPE in
# ordinary viscous sweeps, where XFOIL itself would recover; a small preload
# leaves the exceptions untrapped. Each Reynolds number is swept from 0°
# up and from 0° down, so that every point starts from a converged
# neighbour; points that do not converge are left out of the polar.
set -euo pipefail

out=data/polars
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/nofpe.c" <<'C'
void _gfortran_set_fpe(int ignored) { (void)ignored; }
C
cc -shared -fPIC -O2 -o "$work/nofpe.so" "$work/nofpe.c"

sweep() {  # Re, from, to, step, polar file
  rm -f "$5"
  # In the work folder: XFOIL leaves dumps of its boundary layer behind.
  (cd "$work" && LD_PRELOAD="$work/nofpe.so" xfoil > "$work/log" 2>&1) <<X
PLOP
G F

NACA 4412
PANE
OPER
VISC $1
ITER 200
PACC
$5

ASEQ $2 $3 $4
PACC

QUIT
X
}

mkdir -p "$out"
for re in 50000 100000 200000 300000 500000 1000000; do
  sweep "$re" 0 20 0.5 "$work/up"
  sweep "$re" -0.5 -10 -0.5 "$work/down"
  file="$out/naca4412_re$re.txt"
  # XFOIL's header from the upward sweep, then every converged point of
  # both sweeps in order of angle.
  sed -n '1,/^ *------/p' "$work/up" > "$file"
  { sed '1,/^ *------/d' "$work/up"; sed '1,/^ *------/d' "$work/down"; } |
    awk 'NF >= 7' | sort -g -k1,1 -u >> "$file"
  echo "$file: $(sed '1,/^ *------/d' "$file" | wc -l) points"
done
