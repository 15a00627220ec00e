"""Reads an xlsx with openpyxl (an independent reader) and prints its content as JSON."""
import json
import sys

import openpyxl
from openpyxl.utils import get_column_letter
from openpyxl.utils.escape import unescape


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
    out = {"sheets": wb.sheetnames, "active": wb.active.title, "cells": {}, "styles": {},
           "widths": {}, "validations": {}}
    for ws in wb.worksheets:
        cells, styles = {}, {}
        for row in ws.iter_rows():
            for cell in row:
                if cell.value is not None:
                    v = cell.value
                    if not isinstance(v, (str, int, float, bool)):
                        v = str(v)
                    elif isinstance(v, str) and "_x" in v:
                        # openpyxl decodes the _xHHHH_ escapes of shared strings only
                        v = unescape(v)
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
        # A <col> entry may cover a range of columns: every column of it is listed.
        widths = {}
        for d in ws.column_dimensions.values():
            if d.customWidth or d.width:
                for index in range(d.min or 1, (d.max or d.min or 1) + 1):
                    widths[get_column_letter(index)] = d.width
        out["widths"][ws.title] = widths
        out["validations"][ws.title] = [str(dv.sqref) for dv in ws.data_validations.dataValidation]
    print(json.dumps(out, ensure_ascii=False))


if __name__ == "__main__":
    main(sys.argv[1])
