// The test sheet of a batch row: that specimen's numbers and chart, for a cyclic record
// those of the row's direction (without leaving the record shown in it), a reason for a
// row that has no curve, and the file names that keep a folder's sheets apart.
#include "WorkbenchTestSupport.h"

#include "core/batch/BatchAnalysis.h"
#include "core/sheet/SpecimenSheet.h"
#include "core/workbench/CyclicSession.h"

#include <gtest/gtest.h>

#include <QDir>

namespace rz {
namespace {

using namespace rz::test;

const QString kRecord = QStringLiteral(RZ_TEST_DATA_DIR "/cyclic/cfs_stud_to_osb_connection_cyclic_01.csv");

BatchSettings cyclicSettings()
{
    BatchSettings settings = defaultBatchSettings();
    ImportOptions options = ImportOptions::detectEverything();
    options.cyclic = CyclicOptions{};
    settings.import = options;
    return settings;
}

QString entry(const std::vector<SheetEntry>& entries, const QString& labelStart)
{
    for (const SheetEntry& e : entries)
        if (e.label.startsWith(labelStart))
            return e.value;
    return QStringLiteral("<no %1>").arg(labelStart);
}

TEST(SpecimenSheet, CarriesTheSpecimensOwnNumbersAndChart)
{
    QTemporaryDir dir;
    const QString second =
        writeFile(dir, QStringLiteral("second.csv"), "d,l\n0,0\n1,150\n1.5,225\n2,240\n3,285\n4,300\n5,270\n6,240\n");
    BatchResult batch = analyseAll({writeFile(dir, QStringLiteral("first.csv"), workedExampleFile()), second},
                                   defaultBatchSettings(), 1);
    for (SpecimenAnalysis& s : batch.specimens) {
        SCOPED_TRACE(s.path.toStdString());
        ASSERT_TRUE(s.calculated);
        ASSERT_TRUE(s.analysedAt.isValid());
        const SpecimenSheet sheet = specimenSheet(s, std::nullopt);
        ASSERT_TRUE(sheet.missing.isEmpty()) << sheet.missing.toStdString();
        const Workbench& wb = *s.workbench;
        EXPECT_EQ(sheet.content.dataPath, QDir::toNativeSeparators(s.path));
        EXPECT_EQ(sheet.content.analysisTime, sheetTimeText(s.analysedAt));
        EXPECT_EQ(entry(sheet.content.characteristics, QStringLiteral("Peak load")), wb.fieldText(Field::edt18));
        ASSERT_EQ(sheet.content.methods.size(), 4u);
        EXPECT_EQ(sheet.content.methods[3].yieldLoad, wb.fieldText(Field::edt10));
        EXPECT_EQ(entry(sheet.content.characteristics, QStringLiteral("Curve analysed")),
                  QStringLiteral("<no Curve analysed>"))
            << "only a cyclic record's page names its curve";
        EXPECT_EQ(pointsOf(wb, SeriesId::lnsrsSeries4), sheet.chart[SeriesId::lnsrsSeries4].data.points());
        EXPECT_FALSE(sheet.chart.seriesMirrored());
    }
    EXPECT_NE(specimenSheet(batch.specimens[0], std::nullopt).content.methods[3].yieldLoad,
              specimenSheet(batch.specimens[1], std::nullopt).content.methods[3].yieldLoad);
}

TEST(SpecimenSheet, ACyclicRowGivesItsDirectionsPage)
{
    BatchResult batch = analyseAll({kRecord}, cyclicSettings(), 1);
    SpecimenAnalysis& record = batch.specimens[0];
    ASSERT_TRUE(record.calculated);
    Workbench& wb = *record.workbench;
    const CyclicSession& session = *wb.cyclic();
    ASSERT_EQ(wb.cyclicView(), CyclicView::Positive);
    const QString shownPeak = wb.fieldText(Field::edt18);

    QStringList means;
    for (const Direction d : {Direction::Negative, Direction::Positive}) {
        SCOPED_TRACE(keyOf(d));
        const SpecimenSheet sheet = specimenSheet(record, d);
        ASSERT_TRUE(sheet.missing.isEmpty()) << sheet.missing.toStdString();
        const Workbench& analysis = session.analysis(d);
        EXPECT_EQ(entry(sheet.content.characteristics, QStringLiteral("Peak load")), analysis.fieldText(Field::edt18));
        EXPECT_EQ(sheet.content.methods[3].yieldLoad, analysis.fieldText(Field::edt10));
        EXPECT_EQ(sheet.content.methods[0].yieldDisp, analysis.fieldText(Field::edt3));
        // A printed page must say which direction its numbers are of, and how the envelope was taken.
        EXPECT_EQ(entry(sheet.content.characteristics, QStringLiteral("Curve analysed")),
                  d == Direction::Positive ? QStringLiteral("Positive envelope")
                                           : QStringLiteral("Negative envelope (values as magnitudes)"));
        EXPECT_TRUE(entry(sheet.content.import, QStringLiteral("Cyclic envelope"))
                        .startsWith(QStringLiteral("First cycle of each phase, peak: largest load, tolerance 0.01")));
        EXPECT_EQ(entry(sheet.content.import, QStringLiteral("Phases")),
                  QStringLiteral("positive %1, negative %2 (%3 reversals)")
                      .arg(session.envelopes().positive.phases.size())
                      .arg(session.envelopes().negative.phases.size())
                      .arg(session.envelopes().reversals.size()));
        // The window draws the negative direction's series mirrored, back in its quadrant.
        EXPECT_EQ(sheet.chart.seriesMirrored(), d == Direction::Negative);
        EXPECT_EQ(sheet.chart[SeriesId::lnsrsSeries4].data.points(), pointsOf(analysis, SeriesId::lnsrsSeries4));
        means << sheet.content.methods[3].yieldLoad;
        // The record is shown as before, so the summary and the comparison read it unchanged.
        EXPECT_EQ(wb.cyclicView(), CyclicView::Positive);
        EXPECT_EQ(wb.fieldText(Field::edt18), shownPeak);
    }
    EXPECT_NE(means[0], means[1]);
}

// A stiffness below zero is kept, and both the summary row and the sheet say why: the first
// point lies above the secant load. Here the curve, sorted, starts at (-0.1, 50) and falls
// through p_s = 0.1 x 100 = 10 at x = -0.02, so K = (10 - 50) / (-0.02 + 0.1) = -500.
TEST(SpecimenSheet, ANegativeStiffnessIsKeptAndExplained)
{
    QTemporaryDir dir;
    BatchResult batch =
        analyseAll({writeFile(dir, QStringLiteral("early.csv"), "d,l\n0,0\n-0.1,50\n1,60\n2,100\n3,80\n"),
                    writeFile(dir, QStringLiteral("usual.csv"), workedExampleFile())},
                   defaultBatchSettings(), 1);
    const SummaryTable table = summaryOf(batch.specimens);
    ASSERT_EQ(table.rowCount(), 2u);
    const std::size_t stiffness = *table.columnIndex(QStringLiteral("initial_stiffness"));
    const std::size_t notes = *table.columnIndex(QStringLiteral("notes"));
    ASSERT_TRUE(std::holds_alternative<double>(table.cell(0, stiffness)));
    EXPECT_NEAR(std::get<double>(table.cell(0, stiffness)), -500.0, 1e-9);
    const QString explained = QStringLiteral("the first point's load (50) is above the secant load (10)");
    EXPECT_TRUE(
        std::get<QString>(table.cell(0, notes)).contains(QStringLiteral("initial stiffness negative: ") + explained))
        << std::get<QString>(table.cell(0, notes)).toStdString();
    EXPECT_TRUE(specimenSheet(batch.specimens[0], std::nullopt)
                    .content.notes.contains(QStringLiteral("Initial stiffness negative: ") + explained + u'.'));

    EXPECT_FALSE(std::get<QString>(table.cell(1, notes)).contains(QStringLiteral("negative")));
    EXPECT_TRUE(
        specimenSheet(batch.specimens[1], std::nullopt).content.notes.filter(QStringLiteral("negative")).isEmpty());
}

TEST(SpecimenSheet, RowsWithoutACurveSayWhy)
{
    QTemporaryDir dir;
    // Loads of one sign only: the record has no negative envelope.
    BatchResult batch = analyseAll({writeFile(dir, QStringLiteral("empty.csv"), "no numbers\n"),
                                    writeFile(dir, QStringLiteral("oneway.csv"), workedExampleFile())},
                                   cyclicSettings(), 1);
    const SpecimenSheet failed = specimenSheet(batch.specimens[0], std::nullopt);
    EXPECT_FALSE(failed.missing.isEmpty());
    EXPECT_EQ(failed.missing, batch.specimens[0].failure);

    SpecimenAnalysis& oneWay = batch.specimens[1];
    ASSERT_TRUE(oneWay.imported);
    ASSERT_NE(oneWay.workbench->cyclic(), nullptr);
    ASSERT_FALSE(oneWay.workbench->cyclic()->hasEnvelope(Direction::Negative));
    EXPECT_TRUE(specimenSheet(oneWay, Direction::Positive).missing.isEmpty());
    EXPECT_EQ(specimenSheet(oneWay, Direction::Negative).missing,
              QStringLiteral("no envelope in the negative direction"));
}

TEST(SpecimenSheet, FileNamesKeepAFoldersSheetsApart)
{
    QTemporaryDir dir;
    const BatchResult plain =
        analyseAll({writeFile(dir, QStringLiteral("wall 3.v2.csv"), workedExampleFile())}, defaultBatchSettings(), 1);
    const BatchResult cyclic = analyseAll({kRecord}, cyclicSettings(), 1);
    QDir(dir.path()).mkpath(QStringLiteral("specA"));
    QDir(dir.path()).mkpath(QStringLiteral("specB"));
    const BatchResult tied = analyseAll({writeFile(dir, QStringLiteral("specA/data.csv"), workedExampleFile()),
                                         writeFile(dir, QStringLiteral("specB/data.csv"), workedExampleFile())},
                                        defaultBatchSettings(), 1);
    const struct {
        const SpecimenAnalysis& specimen;
        std::optional<Direction> direction;
        const char* name;
    } cases[] = {
        {plain.specimens[0], std::nullopt, "wall 3.v2.pdf"},
        {cyclic.specimens[0], Direction::Positive, "cfs_stud_to_osb_connection_cyclic_01-positive.pdf"},
        {cyclic.specimens[0], Direction::Negative, "cfs_stud_to_osb_connection_cyclic_01-negative.pdf"},
        // Files of one name: the folders that tell them apart.
        {tied.specimens[0], std::nullopt, "specA_data.pdf"},
        {tied.specimens[1], std::nullopt, "specB_data.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(specimenSheetFileName(c.specimen, c.direction), QString::fromUtf8(c.name));
    }
}

}  // namespace
}  // namespace rz
