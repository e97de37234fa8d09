#!/usr/bin/env bash
# Screenshots of the main window under Xvfb, with a few rows in the list:
#   docs/main-window.png        with the skin and cursor as shipped beside the program
#   docs/main-window-plain.png  the program alone, without them
# Usage: scripts/screenshots.sh [build folder]        (default: build-shots)
# Needs xvfb-run, xwininfo (x11-utils) and import (imagemagick).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)

# Inside Xvfb: start the program, wait for the main window, capture it, end the program.
if [[ ${1:-} == --capture ]]; then
  program=$2 out=$3
  "$program" & pid=$!
  window=
  for _ in $(seq 1 100); do
    # The main window is the large one titled Tessaline (a box would be titled so too).
    window=$(xwininfo -root -tree | awk '/"Tessaline":/ {
               for (i = 1; i <= NF; ++i) if ($i ~ /^[0-9]+x[0-9]+\+/) { split($i, s, "x"); if (s[1] + 0 >= 400) print $1 } }' | head -n 1)
    [[ -n $window ]] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if [[ -z $window ]]; then
    import -window root "$out.failed.png" || true
    kill "$pid" 2>/dev/null || true
    echo "screenshots: the main window did not appear (see $out.failed.png)" >&2
    exit 1
  fi
  sleep 1  # let it paint
  import -window "$window" "$out"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  exit 0
fi

build=${1:-$root/build-shots}
cmake -S "$root" -B "$build" -G Ninja -DTESSALINE_TESTS=OFF -DTESSALINE_BENCH=OFF >/dev/null
ninja -C "$build" -j2 tessaline

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Two program folders: one as the build lays it out, one with the program alone.
mkdir -p "$work/skinned/x" "$work/plain"
cp "$build/src/app/tessaline" "$build/src/app/HAND-M.CUR" "$work/skinned/"
cp "$build/src/app/x/o.cjs" "$work/skinned/x/"
cp "$build/src/app/tessaline" "$work/plain/"

# A saved list of a few rows, in the per-user settings folder of a throw-away configuration.
settings="$work/config/Quorvane/Tessaline"
mkdir -p "$settings"
field='||MySeparator12||' row='||MySeparator23||'
{
  printf '%s' "sin(x)${field}-6.28${field}6.28${field}0.1${row}"
  printf '%s' "x^2 - 3*x + 2${field}-2${field}5${field}0.25${row}"
  printf '%s' "exp(-x/4)*cos(2*x)${field}0${field}12${field}0.05${row}"
  printf '%s' "sqrt(abs(x))${field}-9${field}9${field}0.5${row}"
} >"$settings/Equations.value"

mkdir -p "$root/docs"
for look in skinned plain; do
  out="$root/docs/main-window.png"
  [[ $look == plain ]] && out="$root/docs/main-window-plain.png"
  env -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" TESSALINE_VIEWER=none BROWSER=true \
    xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" --capture "$work/$look/tessaline" "$out"
  echo "wrote $out"
done
