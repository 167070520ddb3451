// File > "Export Test Sheet…": one A4 page whose text (read back with pdftotext) carries
// the window's results and the notes of the last Calculate; a failed write says so and
// leaves nothing behind.
#include "FakeDialogs.h"
#include "chartview/ChartView.h"
#include "chartview/TestSheetPdf.h"
#include "gui/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace rz;
using namespace rz::test;

namespace {

// The output of a poppler tool on a file; fails the test when the tool is missing.
QString popplerOutput(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(tool), qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// pdftotext's words of the page, runs of blanks and line breaks as one blank.
QString pageText(const QString& pdf)
{
    return popplerOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).simplified();
}

}  // namespace

class TestSheetTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;

    void importAndCalculate(const QString& name, const QByteArray& bytes)
    {
        dialogs.answers = {writeFile(*dir, name, bytes)};
        form->ImportLoadDisplacementFile1->trigger();
        form->btn1->click();
    }
    QString exportSheet(const QString& path)
    {
        dialogs.messages.clear();
        dialogs.answers = {path};
        form->exportTestSheetAction()->trigger();
        return path;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        dialogs = FakeDialogs();
        form = std::make_unique<TForm1>(dir->path() + QStringLiteral("/prog/"), QLatin1Char('.'), &dialogs);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup()
    {
        form.reset();
        dir.reset();
    }

    void onePageOfA4WithTheWindowsResults()
    {
        importAndCalculate(QStringLiteral("worked.csv"), kWorkedExample);
        const QString pdf = exportSheet(dir->filePath(QStringLiteral("worked sheet.pdf")));
        QCOMPARE(dialogs.lastTitle, QStringLiteral("Export Test Sheet"));
        QCOMPARE(dialogs.lastProposed, QStringLiteral("worked_TestSheet.pdf"));
        QCOMPARE(dialogs.lastFilters, QStringList{QStringLiteral("PDF documents (*.pdf)")});
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.value(0).text));

        const QString info = popplerOutput(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
        QVERIFY2(info.contains(
                     QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 842(\\.\\d+)? pts \\(A4\\)"))),
                 qPrintable(info));

        const QString text = pageText(pdf);
        QVERIFY2(text.startsWith(QStringLiteral("worked ")), qPrintable(text.left(80)));
        QVERIFY(text.contains(QDir::toNativeSeparators(dir->filePath(QStringLiteral("worked.csv")))));
        // Every result field of the window appears as the window shows it.
        const Field results[] = {Field::edt18, Field::edt19, Field::edt15, Field::edt16, Field::edt2, Field::edt3,
                                 Field::edt8,  Field::edt4,  Field::edt5,  Field::edt9,  Field::edt6, Field::edt7,
                                 Field::edt13, Field::edt10, Field::edt11, Field::edt14};
        for (Field f : results) {
            const QString shown = form->field(f)->text();
            QVERIFY2(
                !shown.isEmpty() && text.contains(QLatin1Char(' ') + shown + QLatin1Char(' ')),
                qPrintable(QStringLiteral("%1 = \"%2\" is not on the sheet").arg(QLatin1String(fieldName(f)), shown)));
        }
        for (const char* row : {"Geometric Graphic Method", "R.Park Method", "Mean Value", "EEEP (ASTM E2126)",
                                "Equal energy (EN 1998-1)", "Load reduction factor (ultimate) 0.15"})
            QVERIFY2(text.contains(QLatin1String(row)), row);
    }

    void notesOfACalculateThatStoppedAreOnTheSheet()
    {
        importAndCalculate(QStringLiteral("worked.csv"), kWorkedExample);
        form->field(Field::edt17)->setText(QStringLiteral("x1"));
        form->btn1->click();
        const QString text = pageText(exportSheet(dir->filePath(QStringLiteral("stopped.pdf"))));
        QVERIFY2(text.contains(QStringLiteral("Calculate did not run to its end")), qPrintable(text.right(600)));
        QVERIFY2(text.contains(QStringLiteral("'x1' is not a valid floating point value")),
                 qPrintable(text.right(600)));

        // A new import drops them: they were about the earlier curve.
        importAndCalculate(QStringLiteral("other.csv"), kWorkedExample);
        form->field(Field::edt17)->setText(QStringLiteral("0.1"));
        form->btn1->click();
        const QString again = pageText(exportSheet(dir->filePath(QStringLiteral("again.pdf"))));
        QVERIFY2(!again.contains(QStringLiteral("x1")), qPrintable(again));
        QVERIFY(!again.contains(QStringLiteral("Calculate did not run")));
    }

    void aFailedWriteSaysWhyAndLeavesNoFile()
    {
        importAndCalculate(QStringLiteral("worked.csv"), kWorkedExample);
        const QStringList before = QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const QString target = dir->filePath(QStringLiteral("missing/worked.pdf"));
        exportSheet(target);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].level, MessageLevel::Warning);
        QVERIFY2(dialogs.messages[0].text.contains(target), qPrintable(dialogs.messages[0].text));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);

        // A sheet that exists stays whole when its replacement cannot be written.
        const QString kept = writeFile(*dir, QStringLiteral("kept.pdf"), "%PDF- earlier sheet");
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("kept.pdf.d")));
        exportSheet(dir->filePath(QStringLiteral("kept.pdf.d")));
        QCOMPARE(dialogs.messages.size(), 1);
        QFile earlier(kept);
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("%PDF- earlier sheet"));
    }

    // The key under the chart names what the chart draws: a ticked definition joins it,
    // the constructions hidden by the radio buttons leave it.
    void theKeyNamesWhatTheChartDraws()
    {
        importAndCalculate(QStringLiteral("worked.csv"), kWorkedExample);
        form->rb2->setChecked(true);  // R.Park alone
        form->workbench().setOtherDefinitionShown(0, true);
        const QString pdf = exportSheet(dir->filePath(QStringLiteral("key.pdf")));
        const QString text = pageText(pdf);
        const QString key =
            text.section(QStringLiteral("Displacement"), 1).section(QStringLiteral("Yield points"), 0, 0);
        QVERIFY2(key.contains(QStringLiteral("R.Park Method")), qPrintable(key));
        QVERIFY2(key.contains(QStringLiteral("EEEP (ASTM E2126)")), qPrintable(key));
        QVERIFY2(!key.contains(QStringLiteral("Geometric")), qPrintable(key));
        QVERIFY2(!key.contains(QStringLiteral("Tangent")), qPrintable(key));
        const QByteArray shots = qgetenv("RZ_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            QFile::copy(pdf, QString::fromLocal8Bit(shots) + QStringLiteral("/test-sheet.pdf"));
    }

    void withoutACurveItAsksForOneFirst()
    {
        exportSheet(dir->filePath(QStringLiteral("none.pdf")));
        QVERIFY(dialogs.lastTitle.isEmpty());
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("Import Data first!"));
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("none.pdf"))));
    }

    // The sheet draws the chart as the window shows it: a zoom the user made is kept.
    void theChartKeepsTheUsersZoom()
    {
        importAndCalculate(QStringLiteral("worked.csv"), kWorkedExample);
        form->chart()->xAxis->setRange(1.25, 2.75);
        form->chart()->yAxis->setRange(40, 90);
        const SheetChart chart =
            sheetChartAsShown(form->workbench().chart(), form->workbench().axisTitles(), u'.', *form->chart());
        QCOMPARE(chart.xRange->lower, 1.25);
        QCOMPARE(chart.yRange->upper, 90.0);
        const QString zoomed = pageText(exportSheet(dir->filePath(QStringLiteral("zoomed.pdf"))));
        form->chart()->xAxis->setRange(0, 6);
        const QString whole = pageText(exportSheet(dir->filePath(QStringLiteral("whole.pdf"))));
        // The zoomed axis is labelled in halves, the whole curve's in whole numbers.
        const auto count = [](const QString& text) { return text.count(QStringLiteral(" 2.5 ")); };
        QVERIFY2(count(zoomed) > count(whole), qPrintable(zoomed + QStringLiteral("\n---\n") + whole));
    }
};

QTEST_MAIN(TestSheetTest)
#include "test_test_sheet.moc"
