#!/usr/bin/env bash
# Takes docs/window.png: the real window under Xvfb after a click on
# "Compute" with the initial field texts. Installs what it needs (Debian).
set -euo pipefail
cd "$(dirname "$0")/.."
# The window's packages (with the fonts its layout is drawn for), a virtual
# display, a pointer to click with and ImageMagick's "import" to grab it.
scripts/deps.sh window xvfb xauth xdotool imagemagick

cmake --preset window >/dev/null
cmake --build --preset window -j2 --target ventaro
mkdir -p docs
out="$PWD/docs/window.png"
exe="$PWD/build/window/src/ui/ventaro"

# Inside the virtual display: start the window, find it, click the middle
# of "Compute" (4920, 120, 1335, 495 twips: at 96 dpi 328, 8, 89, 33 px),
# let it compute and paint, grab the window's area of the screen.
xvfb-run -a -s "-screen 0 640x720x24 -dpi 96" bash -c '
  set -euo pipefail
  "$1" &
  app=$!
  trap "kill $app 2>/dev/null || true" EXIT
  win=""
  for _ in $(seq 50); do
    win=$(xdotool search --sync --onlyvisible --name "^Ventaro$" 2>/dev/null | head -n1) && [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || { echo "the window did not appear" >&2; exit 1; }
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove --window "$win" 372 24 click 1
  sleep 1
  xdotool mousemove 600 700
  sleep 0.3
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
' _ "$exe" "$out"
echo "Saved $out"
