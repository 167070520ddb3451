// The test sheet's texts: every value is the one the window shows, the import and the
// factors as used, and a note with its reason for each thing that was not found.
#include "WorkbenchTestSupport.h"

#include "core/batch/BatchAnalysis.h"
#include "core/methods/YieldMethods.h"
#include "core/sheet/TestSheetContent.h"
#include "core/workbench/OtherDefinitions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>

#include <optional>
#include <utility>

namespace rz {
namespace {

using namespace rz::test;
using ::testing::HasSubstr;

const QDateTime kAnalysed(QDate(2026, 3, 8), QTime(10, 30, 15));

std::string joined(const QStringList& notes)
{
    return notes.join(u'\n').toStdString();
}

QString valueOf(const std::vector<SheetEntry>& entries, const QString& label)
{
    for (const SheetEntry& e : entries)
        if (e.label == label)
            return e.value;
    ADD_FAILURE() << "no entry " << label.toStdString();
    return {};
}

TEST(TestSheetContent, ValuesAreTheWindowsFieldsAndTheFileItCameFrom)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("specimen 7.csv"), workedExampleFile());
    RecordingUi ui;
    Workbench wb(ui, QLatin1Char('.'), QString());
    wb.importConfirmed(path);
    wb.setFieldText(Field::edt1, QStringLiteral("0.8"));
    wb.btn1Click();
    ASSERT_TRUE(wb.lastCalculationCompleted());

    const TestSheetContent c = testSheetContent(wb, kAnalysed);
    EXPECT_EQ(c.title, QStringLiteral("specimen 7"));
    EXPECT_EQ(c.dataPath, QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(c.dataModified, QFileInfo(path).lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    EXPECT_EQ(c.analysisTime, QStringLiteral("2026-03-08 10:30"));
    EXPECT_TRUE(c.displacementUnit.isEmpty());

    EXPECT_EQ(c.factors, (std::vector<SheetEntry>{{QStringLiteral("Load reduction factor (ultimate)"), "0.15"},
                                                  {QStringLiteral("Load factor for secant (stiffness)"), "0.1"},
                                                  {QStringLiteral("Load factor (R.Park)"), "0.8"}}));
    EXPECT_EQ(valueOf(c.characteristics, QStringLiteral("Points")), QStringLiteral("8"));
    EXPECT_EQ(valueOf(c.characteristics, QStringLiteral("Peak load")), QStringLiteral("100"));
    EXPECT_EQ(valueOf(c.characteristics, QStringLiteral("Displacement at peak")), QStringLiteral("4"));
    EXPECT_EQ(valueOf(c.characteristics, QStringLiteral("Largest displacement")), QStringLiteral("6"));
    EXPECT_EQ(valueOf(c.characteristics, QStringLiteral("Ultimate displacement")), wb.fieldText(Field::edt15));
    EXPECT_EQ(valueOf(c.characteristics, QStringLiteral("Initial secant stiffness")), QStringLiteral("50"));

    // The three methods and the mean in the window's order of fields.
    const Field rows[4][3] = {{Field::edt2, Field::edt3, Field::edt8},
                              {Field::edt4, Field::edt5, Field::edt9},
                              {Field::edt6, Field::edt7, Field::edt13},
                              {Field::edt10, Field::edt11, Field::edt14}};
    ASSERT_EQ(c.methods.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(c.methods[i].method.toStdString());
        EXPECT_FALSE(wb.fieldText(rows[i][0]).isEmpty());
        EXPECT_EQ(c.methods[i].yieldLoad, wb.fieldText(rows[i][0]));
        EXPECT_EQ(c.methods[i].yieldDisp, wb.fieldText(rows[i][1]));
        EXPECT_EQ(c.methods[i].ductility, wb.fieldText(rows[i][2]));
        EXPECT_TRUE(c.methods[i].note.isEmpty());
    }
    EXPECT_EQ(c.methods[2].method, QStringLiteral("R.Park Method"));

    // The other definitions as the window's table shows them; each one not found has its note.
    ASSERT_EQ(c.otherDefinitions.size(), otherYieldMethods().size());
    for (std::size_t m = 0; m < c.otherDefinitions.size(); ++m) {
        const YieldDefinitionResult& r = wb.otherDefinitions()[m];
        const SheetResultRow& row = c.otherDefinitions[m];
        SCOPED_TRACE(row.method.toStdString());
        EXPECT_EQ(row.method, QString::fromUtf8(otherYieldMethods()[m].title));
        EXPECT_EQ(row.yieldLoad, r.found ? formatPattern5(r.yieldLoad, u'.') : QStringLiteral("--"));
        EXPECT_EQ(row.ductility, r.found ? formatPattern4(r.ductility, u'.') : QStringLiteral("--"));
        EXPECT_EQ(row.note, r.note);
        EXPECT_EQ(c.notes.contains(row.method + QStringLiteral(" not found: ") + r.note + u'.'), !r.found);
    }
    // Ultimate and stiffness were found: no note speaks of them.
    EXPECT_THAT(joined(c.notes), ::testing::Not(HasSubstr("Ultimate")));
    EXPECT_THAT(joined(c.notes), ::testing::Not(HasSubstr("stiffness")));

    EXPECT_EQ(valueOf(c.import, QStringLiteral("Lines")), QStringLiteral("9"));
    EXPECT_EQ(testSheetFileName(c.title), QStringLiteral("specimen 7_TestSheet.pdf"));
}

// What was not found, and why, from the state and from what Calculate showed.
TEST(TestSheetContent, NotesSayWhatWasNotFoundAndWhy)
{
    struct Case {
        const char* name;
        QByteArray file;
        QString loadReduction;
        bool calculate;
        std::vector<const char*> notes;  // substrings, in this order
        std::vector<const char*> absent;
    };
    const std::vector<Case> cases = {
        {"load never falls after the peak",
         curveFile({{0, 0}, {1, 50}, {2, 80}, {3, 100}, {4, 98}}),
         "0.15",
         true,
         {"Ultimate displacement not reached: after the peak the load does not fall to (1 - 0.15) x 100 = 85; the "
          "largest displacement, 4, is used instead."},
         {"stiffness"}},
        {"curve starts above the secant load",
         noStiffnessFile(),
         "0.15",
         true,
         {"Initial stiffness not found: the curve does not rise through 0.1 x 100 = 10 before the peak.",
          "Geometric Graphic Method not found: it needs the initial stiffness. The mean is that of the other two"},
         {"Ultimate displacement not reached"}},
        {"factor refused",
         workedExampleFile(),
         "abc",
         true,
         {"Calculate did not run to its end", "'abc' is not a valid floating point value"},
         {"Ultimate displacement not reached", "stiffness not found"}},
        {"imported, not calculated", workedExampleFile(), "0.15", false, {"Calculate did not run to its end"}, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        QTemporaryDir dir;
        RecordingUi ui;
        Workbench wb(ui, QLatin1Char('.'), QString());
        wb.importConfirmed(writeFile(dir, QStringLiteral("s.csv"), k.file));
        wb.setFieldText(Field::edt12, k.loadReduction);
        QStringList shown;
        if (k.calculate) {
            ui.clear();
            wb.btn1Click();
            for (const UiEvent& e : ui.events)
                if (e.kind == UiEvent::Kind::Message)
                    shown << e.text;
        }
        const TestSheetContent c = testSheetContent(wb, kAnalysed, shown);
        const std::string notes = joined(c.notes);
        std::size_t at = 0;
        for (const char* n : k.notes) {
            const std::size_t found = notes.find(n, at);
            EXPECT_NE(found, std::string::npos) << "missing or out of order: " << n << "\nin:\n" << notes;
            if (found != std::string::npos)
                at = found;
        }
        for (const char* n : k.absent)
            EXPECT_THAT(notes, ::testing::Not(HasSubstr(n)));
    }
}

TEST(TestSheetContent, GeometricRowAndMeanSayWhyWithoutStiffness)
{
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb(ui, QLatin1Char('.'), QString());
    wb.importConfirmed(writeFile(dir, QStringLiteral("s.csv"), noStiffnessFile()));
    wb.btn1Click();
    const TestSheetContent c = testSheetContent(wb, kAnalysed);
    EXPECT_EQ(c.methods[0], (SheetResultRow{QStringLiteral("Geometric Graphic Method"), "--", "--", "--",
                                            QStringLiteral("not found: no initial stiffness")}));
    EXPECT_EQ(c.methods[3].note, QStringLiteral("of the Energy and R.Park methods"));
    EXPECT_EQ(c.methods[3].yieldLoad, wb.fieldText(Field::edt10));
    EXPECT_EQ(valueOf(c.characteristics, QStringLiteral("Initial secant stiffness")), QStringLiteral("--"));
}

// An import after a Calculate: the state still says "completed", but nothing of the new
// curve was calculated, and the sheet must not claim that the ultimate was not reached.
TEST(TestSheetContent, ANewImportIsNotTakenForCalculated)
{
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb(ui, QLatin1Char('.'), QString());
    wb.importConfirmed(writeFile(dir, QStringLiteral("a.csv"), workedExampleFile()));
    wb.btn1Click();
    wb.importConfirmed(writeFile(dir, QStringLiteral("b.csv"), workedExampleFile()));
    const TestSheetContent c = testSheetContent(wb, kAnalysed);
    EXPECT_THAT(joined(c.notes), HasSubstr("Calculate did not run to its end"));
    EXPECT_THAT(joined(c.notes), ::testing::Not(HasSubstr("Ultimate")));
    EXPECT_EQ(c.methods[0].yieldLoad, QStringLiteral("--"));
    for (const SheetResultRow& r : c.otherDefinitions)
        EXPECT_EQ(r.note, QStringLiteral("not calculated"));
}

TEST(TestSheetContent, DecimalCommaUnitsAndTheImportWithOptions)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("kn.csv"),
                                   "Displacement;Force\nmm;kN\n0;0\n1;50\n1,5;75\n2;80\n3;95\n4;100\n5;90\n6;80\n");
    RecordingUi ui;
    Workbench wb(ui, QLatin1Char(','), QString());
    wb.importWithOptionsConfirmed(path, ImportOptions::detectEverything());
    ASSERT_TRUE(wb.importedCurve().read.has_value()) << ::testing::PrintToString(ui.log());
    wb.btn1Click();
    ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());
    const TestSheetContent c = testSheetContent(wb, kAnalysed);
    EXPECT_EQ(c.displacementUnit, QStringLiteral("mm"));
    EXPECT_EQ(c.loadUnit, QStringLiteral("kN"));
    EXPECT_EQ(valueOf(c.characteristics, QStringLiteral("Peak load (kN)")), QStringLiteral("100"));
    EXPECT_EQ(valueOf(c.characteristics, QStringLiteral("Initial secant stiffness (kN/mm)")), QStringLiteral("50"));
    EXPECT_EQ(valueOf(c.factors, QStringLiteral("Load reduction factor (ultimate)")), QStringLiteral("0,15"));
    EXPECT_TRUE(c.methods[1].yieldDisp.contains(u',')) << c.methods[1].yieldDisp.toStdString();
    EXPECT_EQ(valueOf(c.import, QStringLiteral("Import")), QStringLiteral("Import with Options"));
    EXPECT_EQ(valueOf(c.import, QStringLiteral("Field Separator")), QStringLiteral("semicolon"));
    EXPECT_EQ(valueOf(c.import, QStringLiteral("Decimal Separator")), QStringLiteral("comma"));
    EXPECT_EQ(valueOf(c.import, QStringLiteral("Units Line")), QStringLiteral("2"));
}

TEST(TestSheetContent, AFileGoneSinceTheImportHasNoDate)
{
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb(ui, QLatin1Char('.'), QString());
    const QString path = writeFile(dir, QStringLiteral("gone.csv"), workedExampleFile());
    wb.importConfirmed(path);
    wb.btn1Click();
    QFile::remove(path);
    EXPECT_EQ(testSheetContent(wb, kAnalysed).dataModified, QStringLiteral("unknown: the file is no longer there"));
}

// A batch keeps its times in UTC; the page shows them on the local clock, whatever zone that is.
TEST(TestSheetContent, TimesArePrintedOnTheLocalClock)
{
    const std::optional<QByteArray> zone =
        qEnvironmentVariableIsSet("TZ") ? std::optional(qgetenv("TZ")) : std::nullopt;
    const QDateTime utc(QDate(2026, 3, 8), QTime(10, 30, 15), Qt::UTC);
    for (const auto& [tz, shown] : {std::pair{"UTC0", "2026-03-08 10:30"}, std::pair{"CET-1", "2026-03-08 11:30"},
                                    std::pair{"EST5", "2026-03-08 05:30"}}) {
        SCOPED_TRACE(tz);
        qputenv("TZ", tz);
        EXPECT_EQ(sheetTimeText(utc), QLatin1StringView(shown));
        EXPECT_EQ(sheetTimeText(kAnalysed), QStringLiteral("2026-03-08 10:30")) << "a local time stays as it is";
    }
    if (zone)
        qputenv("TZ", *zone);
    else
        qunsetenv("TZ");
}

// A batch's specimen: its Calculate's messages are notes, its import's are not.
TEST(TestSheetContent, OfABatchSpecimenNotesOnlyWhatCalculateSaid)
{
    QTemporaryDir dir;
    BatchSettings settings = defaultBatchSettings();
    settings.secant = QStringLiteral("1.5");
    const SpecimenAnalysis refused = analyseSpecimen(writeFile(dir, QStringLiteral("s.csv"), workedExampleFile()), settings);
    ASSERT_TRUE(refused.imported);
    const TestSheetContent c = testSheetContent(refused, kAnalysed);
    EXPECT_THAT(joined(c.notes), HasSubstr("Load Factor for Secant must be greater than 0.0 and less than 1.0!"));
    EXPECT_THAT(joined(c.notes), ::testing::Not(HasSubstr("imported")));
    EXPECT_EQ(c.title, QStringLiteral("s"));
}

}  // namespace
}  // namespace rz
