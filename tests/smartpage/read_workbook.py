#!/usr/bin/python3
"""Prints the first worksheet of a workbook as JSON, read with openpyxl: the
used range and, for every cell in it, its value, data type and alignment."""

import json
import sys

import openpyxl


def main():
    sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
    rows = [[{"value": cell.value,
              "type": cell.data_type,
              "horizontal": cell.alignment.horizontal,
              "vertical": cell.alignment.vertical}
             for cell in row]
            for row in sheet.iter_rows()]
    json.dump({"dimensions": sheet.dimensions, "rows": rows}, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
