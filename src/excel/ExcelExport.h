#pragma once

#include "core/chart/ChartModel.h"
#include "excel/ExcelOp.h"
#include "excel/ExcelToolkit.h"

#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>
#include <stdexcept>

// The export of the chart's nine series and a styled scatter chart into a new workbook.
//
//   ExportToExcel(op, chart, separator, env)
//     env.createApplication() gives the application (StartExcel); every value goes to a
//     cell as text in the general number form with the given decimal separator. Ends
//     silently after a start failure (env.showStartFailure) or a refused layout
//     (env.showNotice, before anything is started). Throws AutomationError for a call
//     the object model refused, std::runtime_error with the conversion message for an
//     axis position that is not a number, ExportCancelled when env.progress said stop.
//     Whatever was done before a throw stays done.
//
// WorkbookExport.h runs it against the in-process workbook model and saves the result.
namespace rz::excel {

class ExportCancelled : public std::runtime_error {
public:
    ExportCancelled();
};

// Last row of an Excel worksheet.
inline constexpr std::int64_t kExcelLastRow = 1'048'576;

// The refusal text when the chart's points would need rows past the sheet's last row
// in op's layout (the ranges end one row past the data); nothing when they fit.
std::optional<QString> LayoutRefusal(const ExcelOp& op, const ChartModel& chart);

void ExportToExcel(ExcelOp& op, const ChartModel& chart, QChar decimalSeparator, ExcelEnvironment& env);

// Styles one Excel series after a chart series whose colour is lowRedColor (red in the
// lowest byte, as toLowRedColor gives it).
void FormatSeries(const ExcelOp& op, const AutomationObject& series, std::uint32_t lowRedColor);

}  // namespace rz::excel
