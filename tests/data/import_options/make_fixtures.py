#!/usr/bin/python3
"""Writes the team-made fixtures of this folder (see README.md), byte for byte.

Text files need only Python. The workbooks need python3-openpyxl; the LibreOffice one
also needs LibreOffice (libreoffice-calc-nogui), which converts the openpyxl workbook:

    python3 make_fixtures.py            # text files and both workbooks
    python3 make_fixtures.py --text     # text files only
"""
import datetime
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def lines(rows, end="\n"):
    return end.join(rows) + end


def text_fixtures():
    # A German spreadsheet's CSV export: UTF-8 with a byte-order mark, CR LF, semicolons,
    # decimal commas, a metadata block, a header and a units line, a third column.
    write("german_semicolon.csv", b"\xef\xbb\xbf" + lines([
        "Pr\u00fcfprotokoll;Zugversuch",
        "Datum;05.03.2024",
        "Probe;B-12",
        "Breite;11,4;mm",
        "Weg;Kraft;Zeit",
        "mm;kN;s",
        "0,000;0,000;0,0",
        "0,125;1,250;0,5",
        "0,250;2,375;1,0",
        "0,375;3,125;1,5",
        "0,500;3,750;2,0",
        "0,625;4,000;2,5",
        "0,750;3,875;3,0",
    ], "\r\n").encode("utf-8"))

    # Latin-1, tab-separated, quoted texts (one quoted number), load before displacement.
    write("quoted_tab_latin1.txt", lines([
        '"Pr\u00fcfer"\t"M\u00fcller"',
        '"Temperatur"\t23\t"\u00b0C"',
        '"Kraft [N]"\t"Zeit [s]"\t"Weg [mm]"',
        "0.0\t0.0\t0.00",
        "150.5\t0.5\t0.05",
        '"312.25"\t1.0\t0.10',
        "480.0\t1.5\t0.15",
        "633.75\t2.0\t0.20",
        "701.0\t2.5\t0.25",
    ]).encode("latin-1"))

    # UTF-16 LE with its byte-order mark, a Chinese header with full-width brackets.
    write("utf16le_chinese.txt", "\ufeff".encode("utf-16-le") + lines([
        "\u65f6\u95f4\uff08s\uff09\t\u4f4d\u79fb\uff08mm\uff09\t\u8377\u8f7d\uff08kN\uff09",
        "0\t0\t0",
        "1\t0.5\t10.5",
        "2\t1\t19.25",
        "3\t1.5\t26",
        "4\t2\t30.125",
        "5\t2.5\t31",
    ], "\r\n").encode("utf-16-le"))

    # CR LF, commas, English header with the time first and displacement last.
    write("crlf_comma.csv", lines([
        "Time (s),Load (kN),Extension (mm)",
        "0.0,0.000,0.000",
        "0.5,1.204,0.010",
        "1.0,2.377,0.021",
        "1.5,3.402,0.033",
        "2.0,4.118,0.048",
        "2.5,4.506,0.066",
    ], "\r\n").encode("ascii"))

    # CR alone ends every line; runs of blanks separate; a Spanish header.
    write("cr_only_blanks.txt", lines([
        "Desplazamiento   Carga",
        "   0.0     0.0",
        "   0.2     1.5",
        "   0.4     2.8",
        "   0.6     3.6",
        "   0.8     3.9",
        "   1.0     3.7",
    ], "\r").encode("ascii"))

    # Blank lines before the header; the data block ends at a blank line followed by
    # another block, which is not read.
    write("blank_lines.csv", lines([
        "",
        "  ",
        "Displacement,Load",
        "0,0",
        "1,10",
        "2,18",
        "3,24",
        "4,27",
        "5,28",
        "",
        "Unloading",
        "4,20",
        "3,11",
    ]).encode("ascii"))

    # A metadata block with numbers in it: key/value lines, and a calibration table of six
    # lines with numbers in every column (no header above it). The data come later, under
    # a header that names displacement and load.
    write("metadata_with_numbers.txt", lines([
        "Test report\t2024-03-05",
        "Specimen\t12\t3",
        "Width\t11.4\tmm",
        "Calibration table",
        "1\t0.998\t0.001",
        "2\t1.002\t0.002",
        "3\t0.999\t0.000",
        "4\t1.001\t0.001",
        "5\t1.000\t0.000",
        "6\t0.997\t0.003",
        "Rate\t3.9\tkN/s",
        "Deflection [mm]\tLoad [kN]",
        "0.00\t0.00",
        "0.10\t2.50",
        "0.20\t4.75",
        "0.30\t6.50",
        "0.40\t7.25",
        "0.50\t7.50",
        "0.60\t7.00",
    ]).encode("ascii"))

    # Bad inputs.
    write("no_numbers.txt", lines([
        "Displacement\tLoad",
        "none\tnone",
        "to\tbe",
        "found\there",
    ]).encode("ascii"))
    write("one_column.txt", lines(["Load"] + [str(i * 0.5) for i in range(10)]).encode("ascii"))
    write("nan_inf.csv", lines([
        "Displacement,Load",
        "0,0",
        "1,5",
        "2,9",
        "3,12",
        "4,14",
        "5,nan",
        "6,inf",
    ]).encode("ascii"))
    write("huge_values.csv", lines([
        "Displacement,Load",
        "0,0",
        "1,1e300",
        "2,1.5e308",
        "3,1e307",
        "4,1e306",
    ]).encode("ascii"))
    write("thousands.txt", lines([
        "Displacement\tLoad",
        "0.5\t1,000.5",
        "1.0\t1,250.0",
        "1.5\t1,500.0",
        "2.0\t1,750.0",
        "2.5\t2,000.0",
    ]).encode("ascii"))


# Known values of the workbook fixtures: texts as written, so a test can parse them.
WORKBOOK_POINTS = [
    ("0", "0"),
    ("0.1", "0.3"),
    ("0.25", "1.5"),
    ("1e-05", "2.25"),
    ("0.5", "123456.789"),
    ("0.75", "3.14159265358979"),
    ("1", "-0.5"),
    ("1.25", "4.4482216152605"),
    ("2.5", "1234.5"),
    ("3.75", "0.000123"),
]


def workbook_fixtures():
    import openpyxl
    from openpyxl.styles import numbers

    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Curve"
    ws.append(["Specimen", "B-17"])
    ws.append(["Tested", datetime.date(2024, 3, 5)])
    ws["B2"].number_format = numbers.FORMAT_DATE_YYYYMMDD2
    ws.append([])
    ws.append(["Time (s)", "Displacement (mm)", "Load (kN)", "Note"])
    for i, (d, f) in enumerate(WORKBOOK_POINTS):
        ws.append([i * 0.5, float(d), float(f), "peak" if i == 5 else None])
    # Ends the data: a date where a displacement should be.
    ws.append([5.0, datetime.datetime(2024, 3, 5, 14, 30), 1.0])
    ws.cell(row=ws.max_row, column=2).number_format = "yyyy-mm-dd hh:mm"

    second = wb.create_sheet("Second test")
    second.append(["Kraft [kN]", "Weg [mm]"])
    for d, f in WORKBOOK_POINTS[:6]:
        second.append([float(f), float(d)])

    dates = wb.create_sheet("Dates only")
    dates.append(["When", "Load"])
    for day in range(1, 8):
        dates.append([datetime.date(2024, 3, day), float(day)])
    wb.save(os.path.join(HERE, "openpyxl_curve.xlsx"))

    office = shutil.which("libreoffice") or shutil.which("soffice")
    if not office:
        print("LibreOffice not found: libreoffice_curve.xlsx not made", file=sys.stderr)
        return
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "libreoffice_curve.xlsx")
        shutil.copy(os.path.join(HERE, "openpyxl_curve.xlsx"), source)
        out = os.path.join(tmp, "out")
        # Its own profile folder, so a running instance or a first start does not interfere.
        subprocess.run([office, "-env:UserInstallation=file://" + os.path.join(tmp, "profile"), "--headless",
                        "--convert-to", "xlsx:Calc MS Excel 2007 XML", "--outdir", out, source],
                       check=True, stdout=subprocess.DEVNULL)
        shutil.copy(os.path.join(out, "libreoffice_curve.xlsx"), os.path.join(HERE, "libreoffice_curve.xlsx"))


if __name__ == "__main__":
    text_fixtures()
    if "--text" not in sys.argv:
        workbook_fixtures()
