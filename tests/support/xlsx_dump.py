"""Reads an xlsx with openpyxl (an independent reader) and prints its content as JSON."""
import json
import sys

import openpyxl


def color_of(c):
    if c is None:
        return None
    if c.type == "rgb" and isinstance(c.rgb, str):
        return c.rgb[-6:].upper()
    if c.type == "indexed":
        return "indexed:%d" % c.indexed
    if c.type == "theme":
        return "theme:%d" % c.theme
    return None


def main(path):
    wb = openpyxl.load_workbook(path)
    out = {"sheets": wb.sheetnames, "active": wb.active.title, "cells": {}, "styles": {}, "widths": {}}
    for ws in wb.worksheets:
        cells, styles = {}, {}
        for row in ws.iter_rows():
            for cell in row:
                if cell.value is not None:
                    v = cell.value
                    if not isinstance(v, (str, int, float, bool)):
                        v = str(v)
                    cells[cell.coordinate] = v
                st = {}
                if cell.font is not None and cell.font.b:
                    st["bold"] = True
                fc = color_of(cell.font.color) if cell.font is not None else None
                if fc:
                    st["color"] = fc
                if cell.fill is not None and cell.fill.fill_type == "solid":
                    st["fill"] = color_of(cell.fill.fgColor)
                if cell.alignment is not None:
                    if cell.alignment.vertical:
                        st["vertical"] = cell.alignment.vertical
                    if cell.alignment.horizontal:
                        st["horizontal"] = cell.alignment.horizontal
                if st:
                    styles[cell.coordinate] = st
        out["cells"][ws.title] = cells
        out["styles"][ws.title] = styles
        out["widths"][ws.title] = {
            k: d.width for k, d in ws.column_dimensions.items() if d.customWidth or d.width
        }
    print(json.dumps(out, ensure_ascii=False))


if __name__ == "__main__":
    main(sys.argv[1])
