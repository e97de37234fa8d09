#!/usr/bin/env bash
# docs/charts-one-graph.png: three equations on one chart, drawn by tessaline-plot;
# docs/charts-one-graph-libreoffice.png: the same workbook as LibreOffice draws it.
# Usage: scripts/chart-picture.sh [build folder]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rows=(--one-chart -e "sin(x) + x" 0 10 0.1 -e "x*x/10" 0 10 0.5 -e "exp(-x/5)*cos(2*x)*5" 0 10 0.05)
"$root/$build/src/app/tessaline-plot" "${rows[@]}" -o "$root/docs/charts-one-graph.png" --size 1000x600
"$root/$build/src/app/tessaline-plot" "${rows[@]}" -o "$work/charts.xlsx"
soffice -env:UserInstallation="file://$work/profile" --headless --convert-to pdf --outdir "$work" "$work/charts.xlsx" >/dev/null
pdftoppm -png -r 110 -f 1 -l 1 "$work/charts.pdf" "$work/page"
convert "$work/page-1.png" -trim +repage -bordercolor white -border 12 "$root/docs/charts-one-graph-libreoffice.png"
