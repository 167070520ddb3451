// A cyclic record in the workbook: the record and both envelopes as series after the nine,
// and the nine series of the negative direction as the chart draws them, mirrored back.
#include "../core/CyclicRecords.h"
#include "../core/WorkbenchTestSupport.h"
#include "ExcelTestSupport.h"

#include "core/workbench/CyclicSession.h"
#include "excel/ExcelExport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace rz;
using namespace rz::excel;
using rz::excel::test::finalCells;
using rz::excel::test::RecordingEnvironment;

namespace {

std::map<QString, QString> exported(const ChartModel& chart)
{
    RecordingEnvironment env;
    ExcelOp op;
    op.ExportMode = 0;
    ExportToExcel(op, chart, u'.', env);
    return finalCells(env.recorder);
}

TEST(CyclicWorkbook, RecordEnvelopesAndTheMirroredSeries)
{
    rz::test::CyclicShape shape{rz::test::piecewiseLinear({{4, 40}, {12, 70}}), rz::test::exponential(50.0, 30.0),
                                {2, 5, 10}, {}};
    shape.stepsPerLeg = 4;
    const rz::test::CyclicRecord record = rz::test::makeCyclicRecord(shape);
    std::string text = "d,f\n";
    for (const Point& p : record.samples)
        text += rz::test::exactText(p.x) + "," + rz::test::exactText(p.y) + "\n";
    QTemporaryDir dir;
    rz::test::RecordingUi ui;
    Workbench wb(ui, u'.', QString());
    ImportOptions options;
    options.cyclic = CyclicOptions{};
    wb.importWithOptionsConfirmed(rz::test::writeFile(dir, QStringLiteral("r.csv"), QByteArray::fromStdString(text)),
                                  options);
    wb.btn1Click();
    wb.setCyclicView(CyclicView::Negative);

    const std::map<QString, QString> cells = exported(wb.chart().asDrawn());
    const auto cell = [&](const char* name) {
        return cells.count(QString::fromLatin1(name)) ? cells.at(QString::fromLatin1(name)) : QStringLiteral("<none>");
    };
    // The curve (columns A, B) is the negative envelope drawn back: it ends at the origin.
    const Series& analysed = wb.cyclic()->analysis(Direction::Negative).chart()[SeriesId::lnsrsSeries4].data;
    EXPECT_EQ(cell("A2"), QStringLiteral("-10"));
    EXPECT_EQ(cell("B2"), QString::number(-analysed.y(analysed.count() - 1), 'g', 15));
    // After the nine series' columns A to R, the overlays drawn: record, then both envelopes.
    EXPECT_EQ(cell("T1"), QStringLiteral("Record"));
    EXPECT_EQ(cell("S2"), QStringLiteral("0"));
    EXPECT_EQ(cell("V1"), QStringLiteral("Positive envelope"));
    EXPECT_EQ(cell("X1"), QStringLiteral("Negative envelope"));
    EXPECT_EQ(cell("W2"), QStringLiteral("0"));  // the origin, then the phases outwards
    EXPECT_EQ(cell("W5"), QStringLiteral("-10"));
    const std::size_t recordRows = record.samples.size();
    EXPECT_NE(cell(("S" + std::to_string(recordRows + 1)).c_str()), QStringLiteral("<none>"));
}

}  // namespace
