#!/usr/bin/env bash
# Builds Ventaro's window and starts it. Installs only what building and
# opening the window needs, and only where it is missing; the tests' tools
# (scripts/test.sh) are not needed here, so neither are they built.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh window
cmake --preset window >/dev/null
cmake --build --preset window -j2 --target ventaro
exec build/window/src/ui/ventaro "$@"
