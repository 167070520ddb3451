#pragma once

#include "excel/Automation.h"

#include <QChar>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

// The in-process model of the part of Excel's object model that the export uses:
// Application, Workbooks, Workbook, Sheets, Worksheet, Range (through Cells), Shapes,
// Shape, Chart, SeriesCollection, Series, Format/Line/Fill/ForeColor, Axes, Axis,
// AxisTitle, TickLabels, Font, Legend, PlotArea, ChartTitle. It answers as Excel does
// where the export relies on it, refuses anything else with a description, and writes a
// workbook as a real .xlsx file with a native scatter chart.
namespace rz::excel {

class WorkbookWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class WorkbookBackend {
public:
    // decimalSeparator: the user's; a text written to a cell's Value that reads as a
    // number with it becomes a number, as in Excel.
    explicit WorkbookBackend(QChar decimalSeparator);

    // A new "Excel.Application". Its workbooks live as long as any handle to the
    // application or to one of their objects, or this back end.
    AutomationObject createApplication();

    // Workbooks added through the applications of this back end, oldest first, named
    // "Book<n>" from the first number on.
    int workbookCount() const;
    QString workbookName(int index) const;
    void setFirstWorkbookNumber(int number);

    // Workbooks of more cells than this are written in the writer's constant-memory
    // mode, whose chart holds no cached copy of the cells.
    void setConstantMemoryThreshold(std::int64_t cells);
    // The saved workbooks' creation date (seconds since 1970); none: the time of saving.
    void setCreated(std::optional<std::int64_t> created);

    // Writes workbook index to path: a temporary file in the same folder, renamed over
    // path once complete, so a failed write leaves any earlier file alone.
    // Throws WorkbookWriteError, or ExportCancelled once cancelled answers true.
    void save(int index, const QString& path, const std::function<bool()>& cancelled = {}) const;

    struct Session;

private:
    std::shared_ptr<Session> session_;
};

}  // namespace rz::excel
