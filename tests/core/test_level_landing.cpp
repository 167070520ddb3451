// Loads recorded in round numbers land exactly on the levels that Calculate looks for:
// such a point is where the curve reaches the level.
#include "WorkbenchTestSupport.h"

#include "core/workbench/Workbench.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

namespace rz {
namespace {

using namespace rz::test;

// The polyline (0, 0), (10, 100), (30, 120), (50, 80) sampled every 0.01, written with two
// decimals from whole hundredths, so every sample is exact: it reaches 0.85 * 120 = 102 at
// displacement 39 and 0.1 * 120 = 12 at 1.2, both on a sample.
QByteArray sampledCurveFile()
{
    std::string s = "displacement,load\n";
    auto hundredths = [](long v) {
        return std::to_string(v / 100) + "." + (v % 100 < 10 ? "0" : "") + std::to_string(v % 100);
    };
    for (long x = 0; x <= 5000; ++x) {
        const long y = x <= 1000 ? 10 * x : x <= 3000 ? 10000 + (x - 1000) : 12000 - 2 * (x - 3000);
        s += hundredths(x) + "," + hundredths(y) + "\n";
    }
    return QByteArray::fromStdString(s);
}

TEST(LevelLanding, SampledCurveReachesTheUltimateAndSecantLoadsOnItsPoints)
{
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb(ui, QLatin1Char('.'), dir.path());
    wb.importConfirmed(writeFile(dir, QStringLiteral("sampled.csv"), sampledCurveFile()));
    ui.clear();
    wb.btn1Click();
    ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());
    EXPECT_TRUE(ui.events.empty()) << ::testing::PrintToString(ui.log());

    const AnalysisState& s = wb.state();
    ASSERT_EQ(s.PeakLoad, 120.0);
    ASSERT_EQ(s.MaxDisp, 50.0);
    // Ultimate: the sample at 39, not the fallback to the largest displacement.
    EXPECT_TRUE(s.UltimateFound);
    EXPECT_EQ(s.UltimateDisp, 39.0);
    EXPECT_EQ(wb.fieldText(Field::edt15).toStdString(), "39");
    EXPECT_EQ(pointsOf(wb, SeriesId::pntsrsSeries5), (std::vector<Point>{{39.0, 102.0}}));
    EXPECT_EQ(s.ParkResult.Ductility, 39.0 / s.ParkResult.YieldDisp);

    // Stiffness: the secant through the sample at 1.2, so the Geometric method takes part.
    EXPECT_TRUE(s.StiffnessFound);
    EXPECT_EQ(s.InitialStiffness, 12.0 / 1.2);
    EXPECT_NE(wb.fieldText(Field::edt2).toStdString(), "--");
    EXPECT_FALSE(pointsOf(wb, SeriesId::lnsrsSeries1).empty());
    EXPECT_DOUBLE_EQ(s.MeanResult.YieldDisp,
                     (s.GeometricResult.YieldDisp + s.ParkResult.YieldDisp + s.EnergyResult.YieldDisp) / 3);
}

}  // namespace
}  // namespace rz
