#!/usr/bin/env bash
# Installs what Ventaro needs on Debian, only where it is missing:
#   deps.sh           everything: building, the window and every test
#   deps.sh window    only building and opening the window
# Further arguments are extra packages, e.g. "deps.sh window xdotool".
# When nothing is missing it prints nothing and calls neither apt-get nor
# sudo. Otherwise it runs apt-get as root, or through sudo for a normal user.
#
# Every name must be a real package, not a virtual one that another package
# provides: dpkg never reports a virtual name as installed, so it would be
# installed again on every run (check with "apt-cache policy NAME").
set -euo pipefail

window=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-svg-dev
  nlohmann-json3-dev  # the design file
  libpng-dev         # the check picture's height map, embedded in its SVG
  libgsl-dev         # root finding in the blade element momentum analysis
  fonts-liberation2  # Arial's metrics, for which the window's fixed layout is drawn
)
tests=(
  libgtest-dev libbenchmark-dev
  xvfb xauth time
  clang libclang-rt-14-dev
  clang-format       # the format check of scripts/test.sh
  locales
  fonts-dejavu-core  # the preview picture's labels
  linuxcnc-uspace    # rs274, LinuxCNC's interpreter, checks the linuxcnc program
  admesh             # checks that the blade's STL is a closed solid
  poppler-utils      # pdfinfo and pdftotext read the section templates PDF
  xfoil              # polars of any airfoil, run by Ventaro (--xfoil)
)

packages=("${window[@]}")
all=true
if [ "${1:-}" = window ]; then
  all=false
  shift
else
  packages+=("${tests[@]}")
fi
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The core tests run a computation under a comma-decimal locale to show that
# the program does not follow the regional settings; fresh machines lack it.
if $all && ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the de_DE.UTF-8 locale"
  grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen
fi
