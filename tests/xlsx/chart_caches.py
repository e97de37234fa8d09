#!/usr/bin/python3
"""Reads the series of every chart of an .xlsx through openpyxl's own chart model and prints
them as JSON: per chart its blanks setting and, per series, the reference and cached numbers of
its x (or category) and y values. Numbers come as float.hex(), so a test can compare bits.
Any warning from openpyxl is an error.

usage: chart_caches.py BOOK.xlsx
"""
import json
import sys
import warnings
import zipfile

warnings.simplefilter("error")
from openpyxl.chart.chartspace import ChartSpace  # noqa: E402
from openpyxl.xml.functions import fromstring  # noqa: E402


def cache_of(ref):
    if ref is None or ref.numRef is None:
        return None
    cache = ref.numRef.numCache
    if cache is None:
        return {"f": ref.numRef.f, "cache": None}
    return {"f": ref.numRef.f, "formatCode": cache.formatCode, "ptCount": cache.ptCount,
            "pts": {str(p.idx): float(p.v).hex() for p in cache.pt}}


def main():
    out = {}
    with zipfile.ZipFile(sys.argv[1]) as zf:
        for name in sorted(n for n in zf.namelist() if n.startswith("xl/charts/chart")):
            space = ChartSpace.from_tree(fromstring(zf.read(name)))
            plot = space.chart.plotArea
            series = []
            for chart in plot._charts:
                for s in chart.ser:
                    x = getattr(s, "xVal", None) or getattr(s, "cat", None)
                    y = getattr(s, "yVal", None) or getattr(s, "val", None)
                    series.append({"x": cache_of(x), "y": cache_of(y)})
            out[name] = {"dispBlanksAs": space.chart.dispBlanksAs, "series": series}
    print(json.dumps(out))


if __name__ == "__main__":
    main()
