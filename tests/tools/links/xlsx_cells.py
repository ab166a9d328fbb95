"""Prints what an independent reader (openpyxl) finds in a workbook, one fact per line, values in hex.

    sheet <hex name>
    cell <row> <column> <type> <hex value>      type: s text, n number, empty (no value), other
    font <row> <column> <hex font name> <size>  for the first rows only
"""
import sys

import openpyxl


def hexed(text):
    return text.encode("utf-8").hex() or "-"


def main(path, font_rows):
    book = openpyxl.load_workbook(path, read_only=True)
    for name in book.sheetnames:
        print("sheet", hexed(name))
    sheet = book[book.sheetnames[0]]
    for row_number, row in enumerate(sheet.iter_rows(), start=1):
        for column_number, cell in enumerate(row, start=1):
            value = getattr(cell, "value", None)
            if value is None:
                print("cell", row_number, column_number, "empty", "-")
            elif isinstance(value, str):
                print("cell", row_number, column_number, "s", hexed(value))
            elif isinstance(value, (int, float)):
                print("cell", row_number, column_number, "n", hexed(repr(value)))
            else:
                print("cell", row_number, column_number, "other", hexed(repr(value)))
            if row_number <= font_rows and value is not None:
                print("font", row_number, column_number, hexed(cell.font.name or ""), cell.font.sz)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 3)
