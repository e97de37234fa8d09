#!/usr/bin/python3
"""Reads an .xlsx written by the engine with independent readers and prints what it holds as
JSON: openpyxl for sheets, states, the active sheet, formulas and cached values; the chart XML
(read straight from the zip, as openpyxl's chart reader drops details) for the charts.

usage: xlsx_readback.py BOOK.xlsx [CELL_SHEET CELL_RANGE ...]
"""
import json
import posixpath
import sys
import zipfile
import xml.etree.ElementTree as ET

import openpyxl

NS = {
    "m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
    "r": "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "pr": "http://schemas.openxmlformats.org/package/2006/relationships",
    "c": "http://schemas.openxmlformats.org/drawingml/2006/chart",
    "a": "http://schemas.openxmlformats.org/drawingml/2006/main",
    "xdr": "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing",
}


def rels(zf, part):
    folder, name = posixpath.split(part)
    rels_part = posixpath.join(folder, "_rels", name + ".rels")
    if rels_part not in zf.namelist():
        return {}
    root = ET.fromstring(zf.read(rels_part))
    return {r.get("Id"): posixpath.normpath(posixpath.join(folder, r.get("Target")))
            for r in root.findall("pr:Relationship", NS)}


def val(element, path):
    found = element.find(path, NS)
    return None if found is None else found.get("val")


def axis(plot, tag_index):
    axes = plot.findall("c:valAx", NS) + plot.findall("c:catAx", NS)
    axes.sort(key=lambda a: a.find("c:axPos", NS).get("val") not in ("b", "t"))  # x first
    if len(axes) <= tag_index:
        return None
    a = axes[tag_index]
    return {"major": a.find("c:majorGridlines", NS) is not None,
            "minor": a.find("c:minorGridlines", NS) is not None}


def chart_of(zf, chart_part):
    root = ET.fromstring(zf.read(chart_part))
    chart = root.find("c:chart", NS)
    plot = chart.find("c:plotArea", NS)
    kind = plot.find("c:scatterChart", NS)
    kind_name = "scatter"
    if kind is None:
        kind = next(iter(child for child in plot if child.tag.endswith("Chart")))
        kind_name = kind.tag.split("}")[1]
    series = []
    for ser in kind.findall("c:ser", NS):
        name = ser.find("c:tx/c:v", NS)
        series.append({
            "name": None if name is None else name.text,
            "x": (ser.find("c:xVal/c:numRef/c:f", NS).text if ser.find("c:xVal/c:numRef/c:f", NS) is not None else None),
            "y": (ser.find("c:yVal/c:numRef/c:f", NS).text if ser.find("c:yVal/c:numRef/c:f", NS) is not None
                  else ser.find("c:val/c:numRef/c:f", NS).text),
            "marker": val(ser, "c:marker/c:symbol"),
            "smooth": val(ser, "c:smooth"),
            "cached": ser.find(".//c:numCache", NS) is not None,
        })
    title = chart.find("c:title", NS)
    legend = chart.find("c:legend", NS)
    return {
        "type": kind_name,
        "scatterStyle": val(kind, "c:scatterStyle"),
        "series": series,
        "title": None if title is None else "".join(t.text or "" for t in title.iter("{%s}t" % NS["a"])),
        "autoTitleDeleted": val(chart, "c:autoTitleDeleted"),
        "legend": legend is not None,
        "xAxis": axis(plot, 0),
        "yAxis": axis(plot, 1),
    }


def charts_by_sheet(zf):
    workbook = ET.fromstring(zf.read("xl/workbook.xml"))
    workbook_rels = rels(zf, "xl/workbook.xml")
    result = {}
    for sheet in workbook.find("m:sheets", NS):
        part = workbook_rels[sheet.get("{%s}id" % NS["r"])]
        if "chartsheets/" not in part:
            continue
        root = ET.fromstring(zf.read(part))
        view = root.find("m:sheetViews/m:sheetView", NS)
        entry = {"tabSelected": view is not None and view.get("tabSelected") == "1", "chart": None}
        drawing = root.find("m:drawing", NS)
        if drawing is not None:
            drawing_part = rels(zf, part)[drawing.get("{%s}id" % NS["r"])]
            chart_rel = ET.fromstring(zf.read(drawing_part)).find(".//c:chart", NS).get("{%s}id" % NS["r"])
            entry["chart"] = chart_of(zf, rels(zf, drawing_part)[chart_rel])
        result[sheet.get("name")] = entry
    return result


def cells(path, requests):
    formulas = openpyxl.load_workbook(path, read_only=True)
    values = openpyxl.load_workbook(path, read_only=True, data_only=True)
    out = {}
    for sheet, cell_range in zip(requests[::2], requests[1::2]):
        for row_f, row_v in zip(formulas[sheet][cell_range], values[sheet][cell_range]):
            for f, v in zip(row_f, row_v):
                out["%s!%s" % (sheet, f.coordinate)] = {"formula": f.value if f.data_type == "f" else None,
                                                         "value": v.value, "type": v.data_type}
    return out


def main():
    path, requests = sys.argv[1], sys.argv[2:]
    book = openpyxl.load_workbook(path, read_only=True)
    with zipfile.ZipFile(path) as zf:
        bad = zf.testzip()
        charts = charts_by_sheet(zf)
    print(json.dumps({
        "zipOk": bad is None,
        "sheets": [{"name": s.title, "state": s.sheet_state, "chart": s.title in charts} for s in book._sheets],
        "active": book.active.title,
        "charts": charts,
        "cells": cells(path, requests),
    }))


if __name__ == "__main__":
    main()
