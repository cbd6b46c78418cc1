#!/usr/bin/env bash
# Builds Ventaro and runs every test: the unit, command-line and window tests,
# then the same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen

preset=default
[ "${CI:-}" = "true" ] && preset=ci

cmake --preset "$preset"
cmake --build --preset "$preset" -j2
ctest --preset "$preset" -j2
