#!/usr/bin/python3
"""Reads the cells of one worksheet of an .xlsx two ways and prints them as JSON: raw from the
sheet XML (type attribute, formula text, cached text) and through openpyxl (value, Python
type, data type, formula). Numbers also come as float.hex(), so a test can compare bits.
Any warning from openpyxl is an error: a reader's complaint fails the test.

usage: xlsx_cells.py BOOK.xlsx SHEET
"""
import json
import posixpath
import sys
import warnings
import xml.etree.ElementTree as ET
import zipfile

warnings.simplefilter("error")
import openpyxl  # noqa: E402

M = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
R = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"
PR = "{http://schemas.openxmlformats.org/package/2006/relationships}"


def sheet_part(zf, sheet):
    workbook = ET.fromstring(zf.read("xl/workbook.xml"))
    rels = ET.fromstring(zf.read("xl/_rels/workbook.xml.rels"))
    targets = {r.get("Id"): r.get("Target") for r in rels.findall(PR + "Relationship")}
    for s in workbook.find(M + "sheets"):
        if s.get("name") == sheet:
            return posixpath.normpath(posixpath.join("xl", targets[s.get(R + "id")]))
    raise SystemExit("no sheet " + sheet)


def number_hex(text):
    try:
        return float(text).hex()
    except (TypeError, ValueError):
        return None


def raw_cells(path, sheet):
    out = {}
    with zipfile.ZipFile(path) as zf:
        if zf.testzip() is not None:
            raise SystemExit("bad zip member")
        root = ET.fromstring(zf.read(sheet_part(zf, sheet)))
    for c in root.iter(M + "c"):
        f, v, t = c.find(M + "f"), c.find(M + "v"), c.find(M + "is/" + M + "t")
        text = v.text if v is not None else (t.text if t is not None else None)
        out[c.get("r")] = {"t": c.get("t"), "s": c.get("s"), "f": None if f is None else f.text, "v": text,
                           "hex": number_hex(text) if c.get("t") is None else None}
    return out


def openpyxl_cells(path, sheet):
    out = {}
    values = openpyxl.load_workbook(path, data_only=True)[sheet]
    formulas = openpyxl.load_workbook(path)[sheet]
    for row in values.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            v = cell.value
            f = formulas[cell.coordinate].value
            out[cell.coordinate] = {
                "value": v, "pytype": type(v).__name__, "dataType": cell.data_type,
                "hex": float(v).hex() if type(v) in (int, float) else None,
                "formula": f if isinstance(f, str) and f.startswith("=") else None,
            }
    return out


def main():
    path, sheet = sys.argv[1], sys.argv[2]
    print(json.dumps({"raw": raw_cells(path, sheet), "openpyxl": openpyxl_cells(path, sheet)}))


if __name__ == "__main__":
    main()
