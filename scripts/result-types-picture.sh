#!/usr/bin/env bash
# docs/result-types-*.png: a workbook whose formulas give numbers, booleans, errors and text,
# as LibreOffice shows it without recalculating (the cached values), its Data sheet unhidden
# for the picture: the chart page and the cells page.
# Usage: scripts/result-types-picture.sh [build folder]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/$build/src/app/tessaline-plot" --one-chart -e "1/x" -1 1 0.25 -e "sqrt(x)" -1 1 0.25 \
  -e "cot(x)+floor.math(x*3)" -1 1 0.25 -e "(x)>0" -1 1 0.25 -o "$work/types.xlsx" || true
mkdir -p "$work/profile/user"
cat > "$work/profile/user/registrymodifications.xcu" <<'XCU'
<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>1</value></prop></item>
</oor:items>
XCU
python3 - "$work/types.xlsx" "$work/shown.xlsx" <<'PY'
import sys, zipfile
source, target = zipfile.ZipFile(sys.argv[1]), zipfile.ZipFile(sys.argv[2], "w", zipfile.ZIP_DEFLATED)
for item in source.infolist():
    data = source.read(item)
    if item.filename == "xl/workbook.xml":
        data = data.replace(b' state="hidden"', b"")
    target.writestr(item, data)
target.close()
PY
soffice -env:UserInstallation="file://$work/profile" --headless --convert-to pdf --outdir "$work" "$work/shown.xlsx" >/dev/null
pdftoppm -png -r 110 "$work/shown.pdf" "$work/page"
convert "$work/page-1.png" -trim +repage -bordercolor white -border 12 "$root/docs/result-types-chart.png"
convert "$work/page-2.png" -trim +repage -bordercolor white -border 12 "$root/docs/result-types-cells.png"
