#!/usr/bin/env bash
# docs/compare-*.png: the same workbook drawn by Tessaline (tessaline-plot, the workbook window's
# drawing code) on the left and by LibreOffice on the right, one chart each:
#   samples      the two sample rows on one chart
#   trig         sin, cos and a steep cubic on one chart
#   reciprocal   1/x from -1 to 1 (x passes 0 as -1.4E-16)
#   fifty        50 series on one chart
#   large        exp(x) from 0 to 800, up to 8.2E+307
# Usage: scripts/chart-comparison.sh [build folder]      (default: build)
# Needs soffice, pdftoppm (poppler-utils) and ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
plot="$root/$build/src/app/tessaline-plot"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
height=380

compare() {
  local name=$1
  shift
  "$plot" "$@" -o "$work/$name.png" --size 760x500 >/dev/null 2>&1 || true
  "$plot" "$@" -o "$work/$name.xlsx" >/dev/null 2>&1 || true
  soffice -env:UserInstallation="file://$work/profile" --headless --convert-to pdf --outdir "$work" \
    "$work/$name.xlsx" >/dev/null 2>&1
  pdftoppm -png -r 100 -f 1 -l 1 "$work/$name.pdf" "$work/$name-lo"
  local ours="$work/$name.png"
  [[ -f $ours ]] || ours="$work/$name-1.png"
  convert "$ours" -resize "x$height" "$work/$name-ours.png"
  convert "$work/$name-lo-1.png" -trim +repage -resize "x$height" "$work/$name-theirs.png"
  montage -label Tessaline "$work/$name-ours.png" -label "LibreOffice 7.4" "$work/$name-theirs.png" \
    -tile 2x1 -geometry +10+6 -pointsize 14 +dither -colors 64 "PNG8:$root/docs/compare-$name.png"
  echo "wrote docs/compare-$name.png"
}

compare samples --one-chart -e "x + 100" 0 20 .01 -e "x*x" 0 100 .1
compare trig --one-chart -e "sin(x)" -6.28 6.28 0.1 -e "2*cos(2*x)" -6.28 6.28 0.1 -e "x^3/20" -4 4 0.1
compare reciprocal -e "1/x" -1 1 0.1
fifty=()
for k in $(seq 1 50); do fifty+=(-e "sin(x)+$k/10" 0 10 0.1); done
compare fifty --one-chart "${fifty[@]}"
compare large -e "exp(x)" 0 800 1
