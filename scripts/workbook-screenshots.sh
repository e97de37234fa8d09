#!/usr/bin/env bash
# Screenshots of the workbook window under Xvfb, taken from the real program: a few rows in the
# list, Start Graphing pressed, the window that the run opens captured.
#   docs/workbook-window-separate.png   one chart per equation, the first in front
#   docs/workbook-window-one-chart.png  all equations on one chart
#   docs/workbook-window-data.png       the Data sheet, shown through View > Show Hidden Sheets
# Usage: scripts/workbook-screenshots.sh [build folder]     (default: build)
# The screen is 1366x768 with openbox managing the windows, when it is installed.
# Needs xvfb-run, xdotool, xwininfo (x11-utils) and import (imagemagick).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)

# The id of the first window titled exactly $1 whose width lies from $2 to $3 pixels (Qt keeps
# a 1x1 window of the same title), waiting for it to appear.
window_titled() {
  for _ in $(seq 1 150); do
    id=$(xwininfo -root -tree | awk -v t="\"$1\":" -v lo="${2:-200}" -v hi="${3:-9999}" 'index($0, t) {
           for (i = 1; i <= NF; ++i) if ($i ~ /^[0-9]+x[0-9]+\+/) { split($i, s, "x"); w = s[1] + 0
             if (w >= lo && w <= hi) { print $1; exit } } }')
    [[ -n $id ]] && { echo "$id"; return 0; }
    sleep 0.2
  done
  import -window root "${TMPDIR:-/tmp}/workbook-screenshot-failed.png" || true
  echo "screenshots: no window titled \"$1\" (see ${TMPDIR:-/tmp}/workbook-screenshot-failed.png)" >&2
  return 1
}

# Brings the window to the front, so that no other window covers part of the capture.
raise() {
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowraise "$1"
  sleep 0.7
}

if [[ ${1:-} == --capture ]]; then
  program=$2 docs=$3
  wm=
  if command -v openbox >/dev/null; then openbox & wm=$!; sleep 0.5; fi
  "$program" & pid=$!
  trap 'kill $pid $wm 2>/dev/null || true' EXIT
  main=$(window_titled Tessaline)
  sleep 1
  # One chart per equation.
  xdotool mousemove --window "$main" 268 347 click 1
  book=$(window_titled "Book1 - Tessaline")
  sleep 1.5
  xdotool windowfocus --sync "$(window_titled Tessaline 20 399)" key Return  # "Done."
  sleep 0.5
  raise "$book"
  import -window "$book" "$docs/workbook-window-separate.png"
  xdotool windowfocus --sync "$book" key alt+v h      # View > Show Hidden Sheets
  sleep 0.5
  xdotool mousemove --window "$book" 260 140 click 1  # a cell of the second equation
  sleep 0.5
  raise "$book"
  import -window "$book" "$docs/workbook-window-data.png"
  xdotool windowfocus --sync "$book" key ctrl+w
  # All on one chart.
  xdotool mousemove --window "$main" 31 308 click 1
  xdotool mousemove --window "$main" 268 347 click 1
  book=$(window_titled "Book2 - Tessaline")
  sleep 1.5
  xdotool windowfocus --sync "$(window_titled Tessaline 20 399)" key Return  # "Done."
  sleep 0.5
  raise "$book"
  import -window "$book" "$docs/workbook-window-one-chart.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  exit 0
fi

build=${1:-build}
ninja -C "$root/$build" -j2 tessaline >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
settings="$work/config/Quorvane/Tessaline"
mkdir -p "$settings"
field='||MySeparator12||' row='||MySeparator23||'
{
  printf '%s' "sin(x)${field}-6.28${field}6.28${field}0.1${row}"
  printf '%s' "x^2 - 3*x + 2${field}-2${field}5${field}0.25${row}"
  printf '%s' "exp(-x/4)*cos(2*x)${field}0${field}12${field}0.05${row}"
  printf '%s' "sqrt(abs(x))${field}-9${field}9${field}0.5${row}"
} >"$settings/Equations.value"
env -u QT_QPA_PLATFORM -u TESSALINE_VIEWER XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  XDG_RUNTIME_DIR="$work" BROWSER=true \
  xvfb-run -a -s "-screen 0 1366x768x24 -dpi 96" "$0" --capture "$root/$build/src/app/tessaline" "$root/docs"
for shot in separate data one-chart; do echo "wrote docs/workbook-window-$shot.png"; done
