// "Import with Options…" in the window: the dialog shows what detection found and follows
// every change of an option, OK imports and Cancel changes nothing, the options are
// remembered, a failed read keeps the earlier curve, and a plain import of a file that the
// options read differently leaves a warning in the status bar.
#include "RecordingDialogs.h"
#include "chartview/ChartView.h"
#include "gui/ImportNotice.h"
#include "gui/ImportOptionsDialog.h"
#include "gui/ImportOptionsForm.h"
#include "gui/ImportPreviewPane.h"
#include "gui/ImportProgressWindow.h"
#include "gui/MainWindow.h"
#include "gui/RecentFiles.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace rz;
using namespace rz::test;

namespace {

QString fixture(const char* name)
{
    return QStringLiteral(RZ_TEST_DATA_DIR "/import_options/") + QString::fromLatin1(name);
}

// Dialogs answered by the test; the import dialog is the real one unless options are given.
class ImportDialogs : public RecordingDialogs {
public:
    std::optional<ImportOptions> getImportOptions(QWidget* parent, const QString& path, const ImportOptions& initial,
                                                  QChar separator) override
    {
        ++importDialogs;
        offered = initial;
        if (answer)
            return answer;
        return DialogProvider::getImportOptions(parent, path, initial, separator);
    }
    std::optional<ImportOptions> answer;  // set: the dialog is answered with these
    std::optional<ImportOptions> offered;
    int importDialogs = 0;
};

// Once the import dialog is up, hands it to act (which accepts or rejects it).
void whenDialogIsUp(std::function<void(ImportOptionsDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<ImportOptionsDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QApplication::activeModalWidget()->close();
            QFAIL("the import dialog is not up");
        }
        act(*dialog);
    });
}

int chartPoints(const ImportOptionsDialog& dialog)
{
    return static_cast<int>(qobject_cast<QCPCurve*>(dialog.previewPane()->chart->plottable(0))->dataCount());
}

void choose(QComboBox* box, int value)
{
    const int index = box->findData(value);
    QVERIFY(index >= 0);
    box->setCurrentIndex(index);
}

struct WindowState {
    std::vector<Point> curve;
    QStringList fields;
    AnalysisState state;
};

WindowState stateOf(TForm1& form)
{
    WindowState s;
    s.curve = form.workbench().chart()[SeriesId::lnsrsSeries4].data.points();
    for (int f = 0; f < kFieldCount; ++f)
        s.fields << form.field(static_cast<Field>(f))->text();
    s.state = form.workbench().state();
    return s;
}

bool operator==(const WindowState& a, const WindowState& b)
{
    return a.curve == b.curve && a.fields == b.fields && a.state.PeakIndex == b.state.PeakIndex &&
           a.state.SourceDataPath == b.state.SourceDataPath && a.state.ResultBaseName == b.state.ResultBaseName &&
           a.state.MeanResult.YieldLoad == b.state.MeanResult.YieldLoad;
}

}  // namespace

class ImportOptionsWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QSettings> settings;
    ImportDialogs dialogs;
    std::unique_ptr<TForm1> form;

    std::unique_ptr<TForm1> newWindow(QChar separator = u'.')
    {
        auto window = std::make_unique<TForm1>(dir->path() + QLatin1Char('/'), separator, &dialogs);
        window->setSettings(settings.get());
        window->show();
        return window;
    }
    void importPlainly(const QString& path)
    {
        dialogs.answers = {path};
        form->ImportLoadDisplacementFile1->trigger();
    }
    void importWithOptions(const QString& path)
    {
        dialogs.answers = {path};
        form->ImportWithOptions1->trigger();
    }
    // The worked example imported and calculated: the earlier curve.
    void analyseWorkedExample()
    {
        importPlainly(writeFile(*dir, QStringLiteral("worked.csv")));
        form->btn1->click();
        QCOMPARE(form->workbench().lastCalculationCompleted(), true);
        dialogs.messages.clear();
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<QSettings>(dir->filePath(QStringLiteral("rorevadi.conf")), QSettings::IniFormat);
        dialogs = ImportDialogs();
        form = newWindow();
    }
    void cleanup()
    {
        form.reset();
        settings.reset();
        dir.reset();
    }

    void dialogShowsWhatDetectionFound_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("skip");
        QTest::addColumn<QString>("displacement");
        QTest::addColumn<QString>("load");
        QTest::addColumn<int>("firstDataRow");  // from 0
        QTest::addColumn<int>("points");        // in the preview's chart
        QTest::newRow("data logger") << fixture("metal_round_bar_tensile_instron_01_raw.csv") << "Detect (Tab)"
                                     << "Detect (2)"
                                     << "Detect (1: Maschine [mm])"
                                     << "Detect (2: Kraft [kN])" << 2 << 712;
        // The head holds 1000 of its 18894 lines.
        QTest::newRow("testing software") << fixture("polymer_film_tensile_zwick_01_raw.csv") << "Detect (Tab)"
                                          << "Detect (18)"
                                          << "Detect (2: Standardweg (mm))"
                                          << "Detect (3: Standardkraft (N))" << 18 << 982;
        QTest::newRow("controller") << fixture("concrete_cylinder_compression_mts_01_raw.csv") << "Detect (Tab)"
                                    << "Detect (15)"
                                    << "Detect (5: Ch 1 Weg (mm))"
                                    << "Detect (4: Ch 1 Kraft (kN))" << 15 << 931;
        QTest::newRow("German CSV") << fixture("german_semicolon.csv") << "Detect (Semicolon)"
                                    << "Detect (6)"
                                    << "Detect (1: Weg (mm))"
                                    << "Detect (2: Kraft (kN))" << 6 << 7;
        QTest::newRow("workbook") << fixture("openpyxl_curve.xlsx") << QString() << "Detect (4)"
                                  << "Detect (2: Displacement (mm))"
                                  << "Detect (3: Load (kN))" << 4 << 10;
    }
    void dialogShowsWhatDetectionFound()
    {
        QFETCH(QString, file);
        QFETCH(QString, separator);
        QFETCH(QString, skip);
        QFETCH(QString, displacement);
        QFETCH(QString, load);
        QFETCH(int, firstDataRow);
        QFETCH(int, points);
        ImportOptionsDialog dialog(file, ImportOptions::detectEverything(), u'.');
        dialog.show();
        const ImportOptionsForm& f = *dialog.form();
        if (separator.isEmpty()) {
            QVERIFY(!f.separator->isVisibleTo(&dialog));
            QVERIFY(f.sheet->isVisibleTo(&dialog));
            QCOMPARE(f.sheet->currentText(), QStringLiteral("Curve"));
        } else {
            QCOMPARE(f.separator->currentText(), separator);
            QVERIFY(!f.sheet->isVisibleTo(&dialog));
        }
        QCOMPARE(f.skipLines->text(), skip);
        QCOMPARE(f.displacementColumn->currentText(), displacement);
        QCOMPARE(f.loadColumn->currentText(), load);
        QCOMPARE(chartPoints(dialog), points);
        QVERIFY(dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled());

        // The chosen columns stand out, the lines above the data are greyed.
        const QTableWidget& table = *dialog.previewPane()->table;
        const int dc = dialog.preview().displacementColumn;
        const int lc = dialog.preview().loadColumn;
        QCOMPARE(table.item(firstDataRow, dc)->background().color(), QColor(0xD6, 0xE9, 0xFF));
        QCOMPARE(table.item(firstDataRow, lc)->background().color(), QColor(0xFF, 0xE4, 0xC4));
        QCOMPARE(table.item(firstDataRow, dc)->foreground().style(), Qt::NoBrush);
        QCOMPARE(table.item(0, dc)->foreground().color(), QColor(0x9A, 0x9A, 0x9A));
        QVERIFY(table.horizontalHeaderItem(dc)->text().contains(QStringLiteral("displacement")));
        QVERIFY(dialog.previewPane()->text->toPlainText().startsWith(dialog.preview().lines.front().text));
    }

    void changingTheSeparatorUpdatesTableAndChart()
    {
        ImportOptionsDialog dialog(fixture("german_semicolon.csv"), ImportOptions::detectEverything(), u'.');
        const QTableWidget& table = *dialog.previewPane()->table;
        QCOMPARE(table.columnCount(), 3);
        QCOMPARE(chartPoints(dialog), 7);

        // Commas split the decimal commas: "0,125;1,250;0,5" gives four fields.
        choose(dialog.form()->separator, static_cast<int>(FieldSeparator::Comma));
        QCOMPARE(dialog.options().separator, FieldSeparator::Comma);
        QCOMPARE(table.columnCount(), 4);
        QCOMPARE(table.item(7, 1)->text(), QStringLiteral("125;1"));
        QCOMPARE(chartPoints(dialog), 0);
        QVERIFY(!dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled());
        QVERIFY(dialog.messageLabel()->text().contains(QStringLiteral("No data found")));

        choose(dialog.form()->separator, static_cast<int>(FieldSeparator::Semicolon));
        QCOMPARE(table.columnCount(), 3);
        QCOMPARE(chartPoints(dialog), 7);
        QVERIFY(dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled());

        // A sign flip turns the chart upside down; a factor that is not a number is refused.
        dialog.form()->flipLoad->setChecked(true);
        auto* curve = qobject_cast<QCPCurve*>(dialog.previewPane()->chart->plottable(0));
        QCOMPARE(curve->data()->at(1)->value, -1.25);
        choose(dialog.form()->loadScale, static_cast<int>(ScalePreset::Factor));
        QTest::keyClicks(dialog.form()->loadFactor, QStringLiteral("x"));
        QVERIFY(!dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled());
        QVERIFY(dialog.messageLabel()->text().contains(QStringLiteral("load scale factor")));
        dialog.form()->loadFactor->clear();
        QTest::keyClicks(dialog.form()->loadFactor, QStringLiteral("2"));
        QCOMPARE(curve->data()->at(1)->value, -2.5);
        QVERIFY(dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled());
    }

    void aFileGoneMeanwhileIsNamedAndNotImported()
    {
        const QString path = writeFile(*dir, QStringLiteral("gone.csv"));
        ImportOptionsDialog dialog(path, ImportOptions::detectEverything(), u'.');
        QVERIFY(dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled());
        QVERIFY(QFile::remove(path));
        dialog.detectAgainButton()->click();
        QVERIFY2(dialog.messageLabel()->text().contains(QStringLiteral("gone.csv")),
                 qPrintable(dialog.messageLabel()->text()));
        QVERIFY(!dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled());
    }

    void okImportsAndCancelChangesNothing()
    {
        analyseWorkedExample();
        const WindowState before = stateOf(*form);
        const QString german = fixture("german_semicolon.csv");

        whenDialogIsUp([](ImportOptionsDialog& d) { d.reject(); });
        importWithOptions(german);
        QCOMPARE(dialogs.importDialogs, 1);
        QVERIFY(stateOf(*form) == before);
        QVERIFY(dialogs.messages.isEmpty());

        whenDialogIsUp([](ImportOptionsDialog& d) { d.buttons()->button(QDialogButtonBox::Ok)->click(); });
        importWithOptions(german);
        QCOMPARE(dialogs.texts(),
                 QStringList{QStringLiteral("7 lines of data read (lines 7 to 13), to the end of the file.")});
        QCOMPARE(form->chart()->seriesGraph(SeriesId::lnsrsSeries4)->dataCount(), 7);
        QCOMPARE(form->field(Field::edt18)->text(), QStringLiteral("4"));
        QCOMPARE(form->chart()->xAxis->label(), QStringLiteral("Displacement (mm)"));
        QCOMPARE(form->chart()->yAxis->label(), QStringLiteral("Force (kN)"));
        QCOMPARE(form->recentFilesMenu()->files().value(0), german);

        // The plain import of another file: the plain titles again.
        importPlainly(writeFile(*dir, QStringLiteral("again.csv")));
        QCOMPARE(form->chart()->xAxis->label(), QStringLiteral("Displacement"));
        QCOMPARE(form->chart()->yAxis->label(), QStringLiteral("Force"));
    }

    void theOptionsChosenAreOfferedNextTime()
    {
        whenDialogIsUp([](ImportOptionsDialog& d) {
            choose(d.form()->loadScale, static_cast<int>(ScalePreset::NewtonsToKilonewtons));
            d.form()->fromOrigin->setChecked(true);
            choose(d.form()->separator, static_cast<int>(FieldSeparator::Tab));
            d.accept();
        });
        importWithOptions(fixture("polymer_film_tensile_zwick_01_raw.csv"));
        QCOMPARE(form->chart()->yAxis->label(), QStringLiteral("Force (kN)"));

        form = newWindow();  // a later run, the same settings
        whenDialogIsUp([](ImportOptionsDialog& d) {
            const ImportOptionsForm& f = *d.form();
            QCOMPARE(f.loadScale->currentData().toInt(), static_cast<int>(ScalePreset::NewtonsToKilonewtons));
            QVERIFY(f.fromOrigin->isChecked());
            QCOMPARE(f.separator->currentData().toInt(), static_cast<int>(FieldSeparator::Tab));
            QCOMPARE(f.skipLines->value(), -1);  // detection's, as before
            // Detect Again: detection decides the layout again; scale and origin stay.
            d.detectAgainButton()->click();
            QCOMPARE(f.separator->currentIndex(), 0);
            QCOMPARE(f.separator->currentText(), QStringLiteral("Detect (Tab)"));
            QCOMPARE(f.loadScale->currentData().toInt(), static_cast<int>(ScalePreset::NewtonsToKilonewtons));
            d.reject();
        });
        importWithOptions(fixture("polymer_film_tensile_zwick_01_raw.csv"));
        QCOMPARE(dialogs.importDialogs, 2);
    }

    void aFailedReadKeepsTheEarlierCurve()
    {
        analyseWorkedExample();
        const WindowState before = stateOf(*form);
        const QStringList recent = form->recentFilesMenu()->files();
        ImportOptions missing = ImportOptions::detectEverything();
        missing.load = {ColumnMode::Number, 7, {}};
        dialogs.answer = missing;
        importWithOptions(fixture("german_semicolon.csv"));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].level, MessageLevel::Warning);
        QVERIFY(dialogs.messages[0].text.startsWith(QStringLiteral("Column 7 does not exist")));
        QVERIFY(stateOf(*form) == before);
        QCOMPARE(form->recentFilesMenu()->files(), recent);
        QCOMPARE(form->chart()->xAxis->label(), QStringLiteral("Displacement"));
    }

    void recentFilesReadAFileAsItWasImported()
    {
        ImportOptions flipped = ImportOptions::detectEverything();
        flipped.loadScale.flip = true;
        dialogs.answer = flipped;
        const QString german = fixture("german_semicolon.csv");
        importWithOptions(german);
        QCOMPARE(form->workbench().state().PeakLoad, 0.0);  // every load flipped: the peak is at 0

        form = newWindow();
        dialogs.importDialogs = 0;
        dialogs.messages.clear();
        QAction* entry = form->recentFilesMenu()->entryFor(german);
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(dialogs.importDialogs, 0);
        QCOMPARE(form->chart()->seriesGraph(SeriesId::lnsrsSeries4)->dataCount(), 7);
        QCOMPARE(form->workbench().state().PeakLoad, 0.0);

        // Imported plainly once, it is read plainly from Recent Files too.
        importPlainly(german);
        dialogs.messages.clear();
        form->recentFilesMenu()->entryFor(german)->trigger();
        QCOMPARE(dialogs.texts(),
                 QStringList{QStringLiteral("This File contains 13 Lines. Only 1 Lines of date have been imported!")});
    }

    void plainImportWarnsWhenTheOptionsReadDifferently_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("reason");  // empty: no warning
        QTest::newRow("good file") << kWorkedExample << QChar(u'.') << QString();
        QTest::newRow("semicolons") << QByteArray("Weg;Kraft\n0;10\n1;50\n2;70\n3;80\n4;85\n") << QChar(u'.')
                                    << "fields separated by semicolons";
        // Read without a stop under a decimal-comma locale, but (0, 5), (1, 5)...
        QTest::newRow("decimal comma, tabs") << QByteArray("Weg\tKraft\n0,5\t10\n1,5\t50\n2,5\t70\n3,5\t80\n4,5\t85\n")
                                             << QChar(u',') << "decimal commas";
        QTest::newRow("metadata") << QByteArray(
                                         "Probe;B-17;8852\nMaschine [mm]\tKraft [kN]\n0\t0\n1\t5\n2\t9\n3\t12\n4\t14\n")
                                  << QChar(u'.') << "data from line 3";
    }
    void plainImportWarnsWhenTheOptionsReadDifferently()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QChar, separator);
        QFETCH(QString, reason);
        form = newWindow(separator);
        const QString path = writeFile(*dir, QStringLiteral("file.txt"), bytes);
        importPlainly(path);
        ImportNotice* notice = form->importNotice();
        if (reason.isEmpty()) {
            QVERIFY(!notice->isVisibleTo(form.get()));
            return;
        }
        QVERIFY(notice->isVisibleTo(form.get()));
        QVERIFY2(notice->warning().contains(reason), qPrintable(notice->warning()));
        QCOMPARE(notice->label()->toolTip(), notice->warning());
        QVERIFY(!form->statusBar()->findChild<QLabel*>(QStringLiteral("rzfldsts1"))->isVisibleTo(form.get()));

        // Its button opens the dialog for that file; the import ends the warning.
        whenDialogIsUp([](ImportOptionsDialog& d) { d.accept(); });
        notice->offerButton()->click();
        QCOMPARE(dialogs.importDialogs, 1);
        QVERIFY(!notice->isVisibleTo(form.get()));
        QVERIFY(form->statusBar()->findChild<QLabel*>(QStringLiteral("rzfldsts1"))->isVisibleTo(form.get()));
        QCOMPARE(form->chart()->seriesGraph(SeriesId::lnsrsSeries4)->dataCount(), 5);
    }

    void progressWindowCancelsAndCloses()
    {
        ImportProgressWindow quiet(form.get(), QStringLiteral("a.csv"), false);
        QVERIFY(quiet.callback()(1, 100));
        QVERIFY(!quiet.dialog());

        ImportProgressWindow window(form.get(), QStringLiteral("a.csv"), true);
        const ImportProgress report = window.callback();
        QVERIFY(report(1, 100));
        QVERIFY(window.dialog());
        QCOMPARE(window.dialog()->labelText(), QStringLiteral("Reading a.csv..."));
        QPushButton* cancel = window.dialog()->findChild<QPushButton*>();
        QVERIFY(cancel);
        cancel->click();
        QVERIFY(!report(2, 100));
        QVERIFY(!report(100, 100));
        QVERIFY(!window.dialog()->isVisible());
    }
};

QTEST_MAIN(ImportOptionsWindowTest)
#include "test_import_options_window.moc"
