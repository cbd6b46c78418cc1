#!/usr/bin/env bash
# Installs what building and testing Ventaro needs on Debian, only where it
# is missing. Runs apt-get as root, or through sudo for a normal user.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libgtest-dev libbenchmark-dev
  qt6-base-dev libqt6svg6-dev
  xvfb xauth time
  clang libclang-rt-14-dev
)
# Extra packages a caller asks for, e.g. "deps.sh linuxcnc-uspace".
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
