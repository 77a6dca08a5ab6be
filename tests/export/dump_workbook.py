#!/usr/bin/python3
"""Prints a workbook as a reader sees it, for the export tests.

Usage: dump_workbook.py FILE.xls
Output: "fonts N", then per sheet "sheet NAME ROWS" followed by one line per
row with the cells' type and value, tab-separated ("t:" text, "n:" number,
"e" empty).
"""
import sys

import xlrd


def cell_text(cell):
    if cell.ctype == xlrd.XL_CELL_TEXT:
        return "t:" + cell.value
    if cell.ctype == xlrd.XL_CELL_NUMBER:
        return "n:" + repr(cell.value)
    if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
        return "e"
    return "?%d" % cell.ctype


def main(path):
    book = xlrd.open_workbook(path, formatting_info=True)
    out = ["fonts %d" % len(book.font_list)]
    out += ["font %s %d" % (font.name, font.weight) for font in book.font_list]
    for sheet in book.sheets():
        out.append("sheet %s %d" % (sheet.name, sheet.nrows))
        for r in range(sheet.nrows):
            out.append("\t".join(cell_text(c) for c in sheet.row(r)))
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
