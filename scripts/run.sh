#!/usr/bin/env bash
# Builds Ventaro and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target ventaro
exec build/default/src/ui/ventaro "$@"
