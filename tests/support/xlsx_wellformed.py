#!/usr/bin/python3
"""Checks that every part of an .xlsx is well-formed XML, with a strict parser (expat).

usage: xlsx_wellformed.py BOOK.xlsx...
Prints one line per bad part and exits 1 when there is any; exits 0 when all parse."""
import sys
import zipfile
import xml.parsers.expat


def problems(book):
    found = []
    try:
        with zipfile.ZipFile(book) as zf:
            if zf.testzip() is not None:
                found.append(f"{book}: a zip member is corrupt")
            for name in zf.namelist():
                if not (name.endswith(".xml") or name.endswith(".rels")):
                    continue
                parser = xml.parsers.expat.ParserCreate()
                try:
                    parser.Parse(zf.read(name), True)
                except xml.parsers.expat.ExpatError as error:
                    found.append(f"{book}: {name}: {error}")
    except (OSError, zipfile.BadZipFile) as error:
        found.append(f"{book}: {error}")
    return found


if __name__ == "__main__":
    bad = [line for book in sys.argv[1:] for line in problems(book)]
    print("\n".join(bad))
    sys.exit(1 if bad else 0)
