#!/usr/bin/env bash
# Installs what building and testing Ventaro needs on Debian, only where it
# is missing. Runs apt-get as root, or through sudo for a normal user.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libgtest-dev libbenchmark-dev
  qt6-base-dev libqt6svg6-dev
  nlohmann-json3-dev  # the design file
  xvfb xauth time
  clang libclang-rt-14-dev
  locales
  fonts-dejavu-core  # the preview picture's labels
  linuxcnc-uspace    # rs274, LinuxCNC's interpreter, checks the linuxcnc program
)
# Extra packages a caller asks for, e.g. "deps.sh linuxcnc-uspace".
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
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
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the de_DE.UTF-8 locale"
  grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen
fi
