#!/usr/bin/env bash
# Takes docs/window.png: the real window under Xvfb after a click on
# "Compute" with the initial field texts, and beside it the preview window
# opened from View > Preview. Installs what it needs (Debian).
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

# Inside the virtual display: start the window, find it, click into the
# program field (120, 1320, 3135, 6855 twips of the client area: at 96 dpi
# 8, 88, 209, 457 px, below the menu bar), press "Compute" with the keyboard
# (Tab moves the focus from the program field to "Compute", and Return
# presses a focused button), let it compute and paint, open View > Preview
# with the keyboard, grab both windows' area.
xvfb-run -a -s "-screen 0 1600x760x24 -dpi 96" bash -c '
  set -euo pipefail
  "$1" &
  app=$!
  trap "kill $app 2>/dev/null || true" EXIT
  find() {
    local id=""
    for _ in $(seq 50); do
      id=$(xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1) && [ -n "$id" ] && break
      sleep 0.1
    done
    [ -n "$id" ] || { echo "the window \"$1\" did not appear" >&2; exit 1; }
    echo "$id"
  }
  win=$(find "^Ventaro$")
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$win")"
  right=$((X + WIDTH)) bottom=$((Y + HEIGHT))
  xdotool mousemove --window "$win" 100 300 click 1
  sleep 0.2
  xdotool key Tab Return
  sleep 1
  xdotool key alt+v
  sleep 0.3
  xdotool key p
  preview=$(find "^Ventaro preview$")
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$preview")"
  right=$((X + WIDTH > right ? X + WIDTH : right)) bottom=$((Y + HEIGHT > bottom ? Y + HEIGHT : bottom))
  xdotool mousemove 1590 750
  sleep 0.3
  import -window root -crop "${right}x${bottom}+0+0" +repage "$2"
' _ "$exe" "$out"
echo "Saved $out"
