#!/usr/bin/python3
"""Reads an .xlsx file with openpyxl and prints what a test needs to know about it as JSON:
the cells of the first rows of every sheet and every chart with its series, markers,
lines, axes, legend, title and anchor.

usage: dump_workbook.py FILE [MAX_ROWS] [values]

With "values", a formula's cell holds the value cached in the file instead of its formula.

Exit code 2 when openpyxl is missing, so the caller can skip rather than fail.
"""
import json
import sys
import zipfile
from xml.etree import ElementTree

try:
    import openpyxl
except ImportError:
    sys.exit(2)


def rich_text(title):
    """The plain text and the font size (points) of a title, or None when there is none."""
    if title is None:
        return None
    out = {"text": None, "size": None}
    rich = getattr(getattr(title, "tx", None), "rich", None)
    if rich is not None:
        runs = []
        for p in rich.p or []:
            for r in p.r or []:
                runs.append(r.t)
            if p.pPr is not None and p.pPr.defRPr is not None and p.pPr.defRPr.sz is not None:
                out["size"] = p.pPr.defRPr.sz / 100.0
        out["text"] = "".join(runs)
    return out


def text_properties_size(tx_pr):
    try:
        return tx_pr.p[0].pPr.defRPr.sz / 100.0
    except (AttributeError, IndexError, TypeError):
        return None


def line(sp_pr):
    """Width in points, colour 'RRGGBB', dash pattern and whether the line is hidden."""
    ln = getattr(sp_pr, "ln", None) if sp_pr is not None else None
    if ln is None:
        return None
    colour = None
    if ln.solidFill is not None:
        colour = ln.solidFill.srgbClr if isinstance(ln.solidFill.srgbClr, str) else getattr(
            ln.solidFill.srgbClr, "val", None)
    return {"width": None if ln.w is None else ln.w / 12700.0, "color": colour, "hidden": bool(ln.noFill),
            "dash": ln.prstDash}


def fill_colour(sp_pr):
    if sp_pr is None or sp_pr.solidFill is None:
        return None
    c = sp_pr.solidFill.srgbClr
    return c if isinstance(c, str) else getattr(c, "val", None)


def reference(data_source):
    if data_source is None:
        return None
    ref = data_source.numRef or data_source.strRef
    return None if ref is None else ref.f


def axis(ax):
    return {
        "title": rich_text(ax.title),
        "crosses": ax.crosses,
        "crossesAt": ax.crossesAt,
        "majorTickMark": ax.majorTickMark,
        "line": line(ax.spPr),
        "tickLabelSize": text_properties_size(ax.txPr),
        "gridlines": ax.majorGridlines is not None,
    }


NS = {
    "c": "http://schemas.openxmlformats.org/drawingml/2006/chart",
    "a": "http://schemas.openxmlformats.org/drawingml/2006/main",
}


def plot_area_line(path, index):
    """openpyxl drops the plot area's own shape properties, so they are read from the
    chart part itself (charts are numbered in the order they were added)."""
    with zipfile.ZipFile(path) as z:
        name = "xl/charts/chart%d.xml" % (index + 1)
        if name not in z.namelist():
            return None
        root = ElementTree.fromstring(z.read(name))
    ln = root.find("c:chart/c:plotArea/c:spPr/a:ln", NS)
    if ln is None:
        return None
    colour = ln.find("a:solidFill/a:srgbClr", NS)
    width = ln.get("w")
    return {
        "width": None if width is None else int(width) / 12700.0,
        "color": None if colour is None else colour.get("val"),
        "hidden": ln.find("a:noFill", NS) is not None,
    }


def chart(ch, path, index):
    series = []
    for s in ch.series:
        name = None
        if s.tx is not None:
            name = {"ref": s.tx.strRef.f if s.tx.strRef is not None else None, "value": s.tx.v}
        marker = None
        if s.marker is not None:
            marker = {
                "symbol": s.marker.symbol,
                "size": s.marker.size,
                "fill": fill_colour(s.marker.spPr),
                "line": line(s.marker.spPr),
            }
        series.append({
            "name": name,
            "x": reference(s.xVal),
            "y": reference(s.yVal),
            "smooth": bool(s.smooth),
            "marker": marker,
            "line": line(s.spPr),
        })
    anchor = ch.anchor
    frm = anchor._from
    to = getattr(anchor, "to", None)
    legend = None
    if ch.legend is not None:
        legend = {
            "position": ch.legend.legendPos,
            "overlay": bool(ch.legend.overlay),
            "size": text_properties_size(ch.legend.txPr),
        }
    return {
        "type": type(ch).__name__,
        "scatterStyle": getattr(ch, "scatterStyle", None),
        "series": series,
        "x_axis": axis(ch.x_axis),
        "y_axis": axis(ch.y_axis),
        "legend": legend,
        "title": rich_text(ch.title),
        "plotAreaLine": plot_area_line(path, index),
        "from": {"col": frm.col, "colOff": frm.colOff, "row": frm.row, "rowOff": frm.rowOff},
        "to": None if to is None else {"col": to.col, "colOff": to.colOff, "row": to.row, "rowOff": to.rowOff},
    }


def main():
    path = sys.argv[1]
    max_rows = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    values = len(sys.argv) > 3 and sys.argv[3] == "values"
    wb = openpyxl.load_workbook(path, data_only=values)
    sheets = []
    chart_index = 0
    for ws in wb.worksheets:
        cells = {}
        for row in ws.iter_rows(min_row=1, max_row=min(ws.max_row, max_rows)):
            for c in row:
                if c.value is not None:
                    cells[c.coordinate] = c.value
        charts = []
        for ch in ws._charts:
            charts.append(chart(ch, path, chart_index))
            chart_index += 1
        sheets.append({
            "name": ws.title,
            "max_row": ws.max_row,
            "max_column": ws.max_column,
            "cells": cells,
            "charts": charts,
        })
    json.dump({"sheets": sheets}, sys.stdout)


if __name__ == "__main__":
    main()
