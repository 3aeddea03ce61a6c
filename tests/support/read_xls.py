"""Reads an Excel 97 workbook with xlrd and prints what it found as one JSON object.

read_xls.py FILE                 every cell of every sheet
read_xls.py FILE --rows 0,5,9    only per-column counts and sums, and the cells of the given rows

Numbers are also given as float.hex() so that the caller can compare them bit for bit.
"""

import io
import json
import sys

import xlrd

TYPES = {
    xlrd.XL_CELL_EMPTY: "empty",
    xlrd.XL_CELL_TEXT: "text",
    xlrd.XL_CELL_NUMBER: "number",
    xlrd.XL_CELL_DATE: "date",
    xlrd.XL_CELL_BOOLEAN: "boolean",
    xlrd.XL_CELL_ERROR: "error",
    xlrd.XL_CELL_BLANK: "blank",
}


def cell_json(book, sheet, r, c):
    cell = sheet.cell(r, c)
    xf = book.xf_list[cell.xf_index]
    out = {
        "r": r,
        "c": c,
        "type": TYPES.get(cell.ctype, str(cell.ctype)),
        "value": cell.value,
        "format": book.format_map[xf.format_key].format_str,
    }
    if isinstance(cell.value, float):
        out["hex"] = cell.value.hex()
    if cell.ctype == xlrd.XL_CELL_DATE:
        try:
            out["date"] = list(xlrd.xldate_as_tuple(cell.value, book.datemode))
        except xlrd.xldate.XLDateError as e:
            out["date"] = None
            out["dateError"] = type(e).__name__
    return out


def main():
    path = sys.argv[1]
    rows = None
    if len(sys.argv) > 3 and sys.argv[2] == "--rows":
        rows = [int(x) for x in sys.argv[3].split(",") if x]
    log = io.StringIO()
    book = xlrd.open_workbook(
        path, formatting_info=True, ragged_rows=True, logfile=log, verbosity=0
    )
    result = {
        "biff": book.biff_version,
        "codepage": book.codepage,
        "datemode": book.datemode,
        "sheets": [],
    }
    for sheet in book.sheets():
        s = {
            "name": sheet.name,
            "nrows": sheet.nrows,
            "ncols": sheet.ncols,
            "merged": [list(m) for m in sheet.merged_cells],
            "widths": {str(c): info.width for c, info in sheet.colinfo_map.items()},
        }
        if rows is None:
            s["cells"] = [
                cell_json(book, sheet, r, c)
                for r in range(sheet.nrows)
                for c in range(sheet.row_len(r))
                if sheet.cell_type(r, c) != xlrd.XL_CELL_EMPTY
            ]
        else:
            counts = [0] * sheet.ncols
            sums = [0.0] * sheet.ncols
            for r in range(sheet.nrows):
                for c, value in enumerate(sheet.row_values(r)):
                    if isinstance(value, float):
                        counts[c] += 1
                        sums[c] += value
            s["counts"] = counts
            s["sums"] = [x.hex() for x in sums]
            s["cells"] = [
                cell_json(book, sheet, r, c)
                for r in rows
                if r < sheet.nrows
                for c in range(sheet.row_len(r))
                if sheet.cell_type(r, c) != xlrd.XL_CELL_EMPTY
            ]
        result["sheets"].append(s)
    result["log"] = log.getvalue()
    print(json.dumps(result))


if __name__ == "__main__":
    main()
