// A cyclic record through the window's model: each direction's analysis is exactly the
// monotonic analysis of a file holding that direction's envelope; Average is the mean of
// both; a direction without phases says so and leaves the other working; messages of the
// two Calculates reach the user once; a monotonic import afterwards leaves no trace.
#include "CyclicRecords.h"
#include "WorkbenchTestSupport.h"

#include "core/report/Report.h"
#include "core/workbench/CyclicSession.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace rz {
namespace {

using test::CyclicShape;

QByteArray fileOf(const std::vector<Point>& points)
{
    std::string s = "displacement,load\n";
    for (const Point& p : points)
        s += test::exactText(p.x) + "," + test::exactText(p.y) + "\n";
    return QByteArray::fromStdString(s);
}

ImportOptions cyclicOptions(CyclicOptions settings = {})
{
    ImportOptions o;
    o.cyclic = settings;
    return o;
}

struct Shape {
    const char* name;
    CyclicShape shape;
};

std::vector<Shape> shapes()
{
    const auto linear = test::piecewiseLinear({{4, 40}, {12, 70}, {20, 80}, {30, 60}});
    const auto weaker = test::piecewiseLinear({{3, 25}, {10, 50}, {25, 55}, {30, 20}});
    const std::vector<double> amps{2, 4, 8, 12, 16, 20, 26};
    std::vector<Shape> out;
    out.push_back({"one cycle per phase", CyclicShape{linear, linear, amps, {}}});
    CyclicShape three{test::exponential(50.0, 30.0), weaker, amps, {1, 3, 3, 2, 3, 3, 3}};
    three.cycleFactors = {1.0, 0.9, 0.85};
    three.pinch = 2.5;
    out.push_back({"three degrading pinched cycles, other negative backbone", three});
    CyclicShape ends{linear, linear, amps, {2, 2, 2, 2, 2, 2, 2}};
    ends.endFraction = 0.5;
    ends.first = {0.3, 1.0};
    out.push_back({"ends mid-excursion, starts away from zero", ends});
    return out;
}

// Every number the window shows and keeps, bit for bit.
void expectSameAnalysis(const Workbench& got, const Workbench& want)
{
    for (int f = 0; f < kFieldCount; ++f)
        EXPECT_EQ(got.fieldText(static_cast<Field>(f)), want.fieldText(static_cast<Field>(f)))
            << fieldName(static_cast<Field>(f));
    for (const CyclicResultRow& row : cyclicResultRows()) {
        AnalysisState a = got.state();
        AnalysisState b = want.state();
        EXPECT_TRUE(test::sameBits(row.value(a), row.value(b))) << row.label;
    }
    EXPECT_EQ(got.state().PeakIndex, want.state().PeakIndex);
    EXPECT_EQ(got.state().UltimateFound, want.state().UltimateFound);
    EXPECT_EQ(got.state().StiffnessFound, want.state().StiffnessFound);
    for (int i = 0; i < kSeriesCount; ++i)
        EXPECT_EQ(got.chart().at(i).data.points(), want.chart().at(i).data.points())
            << seriesStyle(static_cast<SeriesId>(i)).name;
    ASSERT_EQ(got.otherDefinitions().size(), want.otherDefinitions().size());
    for (std::size_t i = 0; i < got.otherDefinitions().size(); ++i) {
        EXPECT_EQ(got.otherDefinitions()[i].found, want.otherDefinitions()[i].found);
        EXPECT_TRUE(test::sameBits(got.otherDefinitions()[i].yieldLoad, want.otherDefinitions()[i].yieldLoad));
        EXPECT_TRUE(test::sameBits(got.otherDefinitions()[i].ductility, want.otherDefinitions()[i].ductility));
    }
}

TEST(CyclicSession, EachDirectionIsTheMonotonicAnalysisOfItsEnvelope)
{
    for (const Shape& s : shapes()) {
        SCOPED_TRACE(s.name);
        QTemporaryDir dir;
        const test::CyclicRecord record = test::makeCyclicRecord(s.shape);
        const QString path = test::writeFile(dir, QStringLiteral("record.csv"), fileOf(record.samples));
        test::RecordingUi ui;
        Workbench wb(ui, u'.', QString());
        wb.importWithOptionsConfirmed(path, cyclicOptions());
        ASSERT_NE(wb.cyclic(), nullptr);
        wb.btn1Click();
        EXPECT_TRUE(wb.lastCalculationCompleted());

        for (Direction d : {Direction::Positive, Direction::Negative}) {
            SCOPED_TRACE(keyOf(d));
            const std::vector<Point>& envelope = wb.cyclic()->envelopes().of(d).points;
            ASSERT_FALSE(envelope.empty());
            test::RecordingUi monotonicUi;
            Workbench monotonic(monotonicUi, u'.', QString());
            monotonic.importConfirmed(test::writeFile(dir, QStringLiteral("envelope.csv"), fileOf(envelope)));
            monotonic.btn1Click();
            wb.setCyclicView(d == Direction::Positive ? CyclicView::Positive : CyclicView::Negative);
            EXPECT_EQ(wb.chart().seriesMirrored(), d == Direction::Negative);
            expectSameAnalysis(wb, monotonic);
            expectSameAnalysis(wb.cyclic()->analysis(d), monotonic);
        }
    }
}

TEST(CyclicSession, AverageIsTheMeanOfBothDirections)
{
    QTemporaryDir dir;
    const test::CyclicRecord record = test::makeCyclicRecord(shapes()[1].shape);
    test::RecordingUi ui;
    Workbench wb(ui, u'.', QString());
    wb.importWithOptionsConfirmed(test::writeFile(dir, QStringLiteral("r.csv"), fileOf(record.samples)),
                                  cyclicOptions());
    wb.btn1Click();
    wb.setCyclicView(CyclicView::Average);
    EXPECT_FALSE(wb.chart().seriesMirrored());
    const Workbench& p = wb.cyclic()->analysis(Direction::Positive);
    const Workbench& n = wb.cyclic()->analysis(Direction::Negative);
    for (const CyclicResultRow& row : cyclicResultRows()) {
        SCOPED_TRACE(row.label);
        const auto a = cyclicResult(p, row);
        const auto b = cyclicResult(n, row);
        ASSERT_TRUE(a && b);
        // The loads differ between the directions, so a mean cannot pass for either one.
        AnalysisState shown = wb.state();
        EXPECT_TRUE(test::sameBits(row.value(shown), (*a + *b) / 2.0));
        const QString text =
            row.ductility ? formatPattern4((*a + *b) / 2.0, u'.') : formatPattern5((*a + *b) / 2.0, u'.');
        if (row.field != Field::edt15 && std::string(row.label) != "PeakDisp") {
            EXPECT_EQ(wb.fieldText(row.field), text);
        }
    }
    EXPECT_NE(wb.fieldText(Field::edt18), p.fieldText(Field::edt18));
    ASSERT_EQ(wb.otherDefinitions().size(), p.otherDefinitions().size());
    for (std::size_t i = 0; i < p.otherDefinitions().size(); ++i) {
        if (p.otherDefinitions()[i].found && n.otherDefinitions()[i].found)
            EXPECT_EQ(wb.otherDefinitions()[i].yieldLoad,
                      (p.otherDefinitions()[i].yieldLoad + n.otherDefinitions()[i].yieldLoad) / 2.0);
        else
            EXPECT_FALSE(wb.otherDefinitions()[i].found);
    }
    // The negative constructions are drawn beside the positive ones, mirrored back.
    const ChartModel& chart = wb.chart();
    const int park = chart.overlayIndex(QStringLiteral("cyclic.negative.pntsrsSeries2"));
    ASSERT_GE(park, 0);
    EXPECT_TRUE(chart.overlay(park).visible);
    const Point negativePark = n.chart()[SeriesId::pntsrsSeries2].data.points().front();
    EXPECT_EQ(chart.overlay(park).points.front(), (Point{-negativePark.x, -negativePark.y}));
    wb.setCyclicView(CyclicView::Positive);
    EXPECT_FALSE(wb.chart().overlay(park).visible);
}

TEST(CyclicSession, ADirectionWithoutPhasesSaysSoAndTheOtherWorks)
{
    QTemporaryDir dir;
    CyclicShape shape = shapes()[0].shape;
    shape.oneSided = true;
    const test::CyclicRecord record = test::makeCyclicRecord(shape);
    test::RecordingUi ui;
    Workbench wb(ui, u'.', QString());
    wb.importWithOptionsConfirmed(test::writeFile(dir, QStringLiteral("r.csv"), fileOf(record.samples)),
                                  cyclicOptions());
    ASSERT_NE(wb.cyclic(), nullptr);
    EXPECT_FALSE(wb.cyclic()->hasEnvelope(Direction::Negative));
    ASSERT_EQ(ui.events.size(), 1u);
    EXPECT_EQ(ui.events[0].level, MessageLevel::Information);
    EXPECT_TRUE(ui.events[0].text.endsWith(QStringLiteral("no negative excursion beyond the dead band")))
        << ui.events[0].text.toStdString();
    ui.events.clear();
    wb.btn1Click();
    EXPECT_TRUE(ui.events.empty());
    EXPECT_TRUE(wb.lastCalculationCompleted());
    EXPECT_FALSE(wb.fieldText(Field::edt10).isEmpty());
    wb.setCyclicView(CyclicView::Negative);
    EXPECT_TRUE(wb.fieldText(Field::edt10).isEmpty());
    EXPECT_TRUE(wb.chart()[SeriesId::lnsrsSeries4].data.empty());
    wb.setCyclicView(CyclicView::Average);
    EXPECT_EQ(wb.fieldText(Field::edt10), QStringLiteral("--"));
}

TEST(CyclicSession, MessagesOfBothDirectionsAreShownOnce)
{
    QTemporaryDir dir;
    const test::CyclicRecord record = test::makeCyclicRecord(shapes()[0].shape);
    test::RecordingUi ui;
    Workbench wb(ui, u'.', QString());
    wb.importWithOptionsConfirmed(test::writeFile(dir, QStringLiteral("r.csv"), fileOf(record.samples)),
                                  cyclicOptions());
    ui.events.clear();
    wb.setFieldText(Field::edt17, QStringLiteral("x"));
    wb.btn1Click();
    std::vector<std::string> seen;
    for (const test::UiEvent& e : ui.events)
        seen.push_back(test::describe(e));
    EXPECT_EQ(seen,
              (std::vector<std::string>{"focus edt17", test::warning("'x' is not a valid floating point value")}));
    EXPECT_FALSE(wb.lastCalculationCompleted());
}

TEST(CyclicSession, ReportAppendsTheCyclicTable)
{
    QTemporaryDir dir;
    const test::CyclicRecord record = test::makeCyclicRecord(shapes()[1].shape);
    test::RecordingUi ui;
    Workbench wb(ui, u',', QString());
    CyclicOptions settings;
    settings.envelope = EnvelopeChoice::Max;
    ImportOptions options = cyclicOptions(settings);
    options.decimal = DecimalSeparator::Point;
    wb.importWithOptionsConfirmed(test::writeFile(dir, QStringLiteral("r.csv"), fileOf(record.samples)), options);
    wb.btn1Click();
    wb.setCyclicView(CyclicView::Negative);
    const QStringList lines = QString::fromLocal8Bit(wb.reportNow(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))))
                                  .split(QStringLiteral("\r\n"));
    const qsizetype start = lines.indexOf(QStringLiteral("Cyclic analysis:"));
    ASSERT_GT(start, 0);
    // The report's first part is the shown direction's.
    EXPECT_TRUE(
        lines.contains(QStringLiteral("PeakLoad:,") +
                       csvField(formatGeneral(wb.cyclic()->analysis(Direction::Negative).state().PeakLoad, u','))));
    EXPECT_EQ(lines[start + 1], QStringLiteral("Tolerance:,\"0,01\""));
    EXPECT_EQ(lines[start + 3], QStringLiteral("Envelope:,max"));
    EXPECT_TRUE(lines.contains(QStringLiteral(",Positive,Negative,Average")));
    const double p = wb.cyclic()->analysis(Direction::Positive).state().PeakLoad;
    const double n = wb.cyclic()->analysis(Direction::Negative).state().PeakLoad;
    EXPECT_TRUE(lines.contains(QStringLiteral("PeakLoad:,%1,%2,%3")
                                   .arg(csvField(formatGeneral(p, u',')), csvField(formatGeneral(n, u',')),
                                        csvField(formatGeneral((p + n) / 2.0, u',')))));
    EXPECT_TRUE(lines.contains(QStringLiteral("Phases:,7,7,"))) << lines.join(u'\n').toStdString();
}

TEST(CyclicSession, AMonotonicImportAfterwardsLeavesNoTrace)
{
    QTemporaryDir dir;
    const test::CyclicRecord record = test::makeCyclicRecord(shapes()[0].shape);
    test::RecordingUi ui;
    Workbench wb(ui, u'.', QString());
    const int overlaysBefore = wb.chart().overlayCount();
    wb.importWithOptionsConfirmed(test::writeFile(dir, QStringLiteral("r.csv"), fileOf(record.samples)),
                                  cyclicOptions());
    wb.btn1Click();
    wb.setCyclicView(CyclicView::Negative);
    EXPECT_GT(wb.chart().overlayCount(), overlaysBefore);

    const QString monotonic = test::writeFile(dir, QStringLiteral("m.csv"), test::workedExampleFile());
    for (bool withOptions : {false, true}) {
        SCOPED_TRACE(withOptions);
        wb.importWithOptionsConfirmed(test::writeFile(dir, QStringLiteral("r.csv"), fileOf(record.samples)),
                                      cyclicOptions());
        wb.setCyclicView(CyclicView::Negative);
        if (withOptions)
            wb.importWithOptionsConfirmed(monotonic, ImportOptions());
        else
            wb.importConfirmed(monotonic);
        EXPECT_EQ(wb.cyclic(), nullptr);
        EXPECT_FALSE(wb.chart().seriesMirrored());
        EXPECT_EQ(wb.chart().overlayCount(), overlaysBefore);
        wb.btn1Click();
        test::RecordingUi freshUi;
        Workbench fresh(freshUi, u'.', QString());
        fresh.importConfirmed(monotonic);
        fresh.btn1Click();
        expectSameAnalysis(wb, fresh);
    }
}

TEST(CyclicSession, ARefusedToleranceImportsNothing)
{
    QTemporaryDir dir;
    test::RecordingUi ui;
    Workbench wb(ui, u'.', QString());
    CyclicOptions settings;
    settings.tolerance = 0.5;
    const ImportResult read = wb.importWithOptionsConfirmed(
        test::writeFile(dir, QStringLiteral("m.csv"), test::workedExampleFile()), cyclicOptions(settings));
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(wb.cyclic(), nullptr);
    EXPECT_TRUE(wb.chart()[SeriesId::lnsrsSeries4].data.empty());
    ASSERT_EQ(ui.events.size(), 1u);
    EXPECT_EQ(ui.events[0].text, toleranceRangeMessage());
}

TEST(ChartModel, AsDrawnMirrorsTheNineSeriesIncludingVerticalSegments)
{
    ChartModel chart;
    chart[SeriesId::lnsrsSeries4].data.assignStableSorted({{0, 0}, {1, 2}, {1, 5}, {3, 4}});
    const int overlay = chart.addOverlay(QStringLiteral("o"), QStringLiteral("o"), {});
    chart.setOverlayPoints(overlay, {{1, 1}});
    EXPECT_EQ(chart.asDrawn()[SeriesId::lnsrsSeries4].data.points(), chart[SeriesId::lnsrsSeries4].data.points());
    chart.setSeriesMirrored(true);
    const ChartModel drawn = chart.asDrawn();
    EXPECT_FALSE(drawn.seriesMirrored());
    // The path (0,0) (1,2) (1,5) (3,4) mirrored and walked backwards: still sorted by X.
    EXPECT_EQ(drawn[SeriesId::lnsrsSeries4].data.points(), (std::vector<Point>{{-3, -4}, {-1, -5}, {-1, -2}, {0, 0}}));
    EXPECT_TRUE(std::signbit(drawn[SeriesId::lnsrsSeries4].data.points().back().x) == false);
    EXPECT_EQ(drawn.overlay(overlay).points, (std::vector<Point>{{1, 1}}));
}

TEST(ImportOptionsJson, CyclicSettingsRoundTripAndBadOnesAreRefused)
{
    CyclicOptions settings;
    settings.tolerance = 0.05;
    settings.envelope = EnvelopeChoice::Last;
    settings.peak = PeakChoice::Displacement;
    ImportOptions o;
    o.cyclic = settings;
    EXPECT_EQ(optionsFromJson(optionsToJson(o)), o);
    EXPECT_FALSE(optionsToJson(ImportOptions()).contains(QStringLiteral("cyclic")));
    for (const char* bad : {R"({"tolerance":0.5})", R"({"envelope":"middle"})", R"({"peak":1})", R"([])"}) {
        SCOPED_TRACE(bad);
        QJsonObject json = optionsToJson(ImportOptions());
        json.insert(QStringLiteral("cyclic"), QJsonDocument::fromJson(QByteArray("{\"v\":") + bad + "}")["v"]);
        EXPECT_FALSE(optionsFromJson(json));
    }
}

}  // namespace
}  // namespace rz
