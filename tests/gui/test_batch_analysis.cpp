// File > "Batch Analysis…" driven through its widgets: a run over generated files with a
// failing one, the table sorted by numbers with its statistics kept under the rows, Cancel,
// a row opened in the window, the summary exported, and the comparison chart.
#include "FakeDialogs.h"
#include "chartview/ChartView.h"
#include "core/batch/SummaryCsv.h"
#include "core/compare/Comparison.h"
#include "core/workbench/CyclicSession.h"
#include "gui/BatchAnalysisDialog.h"
#include "gui/CyclicDirectionBar.h"
#include "gui/MainWindow.h"
#include "gui/SummaryTableModel.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <set>

using namespace rz;
using namespace rz::test;

namespace {

class BatchDialogs : public FakeDialogs {
public:
    QStringList getOpenFileNames(QWidget*, const QString&, const QString&, const QStringList&) override
    {
        return filesAnswer;
    }
    QString getExistingDirectory(QWidget*, const QString&, const QString&) override { return folderAnswer; }
    std::optional<ImportOptions> getImportOptions(QWidget*, const QString& path, const ImportOptions& initial,
                                                  QChar) override
    {
        optionsAskedFor = path;
        optionsOffered = initial;
        return optionsAnswer;
    }
    std::optional<ImportOptions> optionsAnswer;
    std::optional<ImportOptions> optionsOffered;
    QString optionsAskedFor;
    QStringList filesAnswer;
    QString folderAnswer;
};

// The worked example with every load times `scale`: peak 100 x scale at 4.
QByteArray scaledCurve(double scale)
{
    const double pts[][2] = {{0, 0}, {1, 50}, {1.5, 75}, {2, 80}, {3, 95}, {4, 100}, {5, 90}, {6, 80}};
    QByteArray bytes = "d,l\n";
    for (const auto& p : pts)
        bytes += QByteArray::number(p[0]) + ',' + QByteArray::number(p[1] * scale) + '\n';
    return bytes;
}

// The words of a PDF page (pdftotext), without the times on it: the window's Calculate and
// the batch's ran at different moments.
QString pageText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext failed on %1>").arg(pdf);
    static const QRegularExpression time(QStringLiteral("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}"));
    return QString::fromUtf8(p.readAllStandardOutput()).replace(time, QStringLiteral("<time>")).simplified();
}

QByteArray head(const QString& path, qint64 size)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(size) : QByteArray();
}

// What the window's import memory keeps of options.
QByteArray asText(const ImportOptions& options)
{
    return QJsonDocument(optionsToJson(options)).toJson(QJsonDocument::Compact);
}

ImportOptions cyclicOptions()
{
    ImportOptions options = ImportOptions::detectEverything();
    options.cyclic = CyclicOptions{};
    return options;
}

const QString kRecord = QStringLiteral(RZ_TEST_DATA_DIR "/cyclic/cfs_stud_to_osb_connection_cyclic_01.csv");

int columnOf(const QString& key)
{
    const std::vector<SummaryColumn> columns = summaryColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].key == key)
            return static_cast<int>(i);
    qFatal("no column %s", qPrintable(key));
}

}  // namespace

class BatchAnalysisTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    BatchDialogs dialogs;
    std::unique_ptr<TForm1> form;
    QStringList files;                 // peaks 100, 300, 200, 50, 150, then a file without data
    std::unique_ptr<QSettings> store;  // outlives the window that writes to it

    BatchAnalysisDialog* dialog() const { return form->batchAnalysisDialog(); }
    QAbstractItemModel* view() const { return dialog()->resultsView()->model(); }
    QString shown(int row, int column) const { return view()->index(row, column).data().toString(); }
    QStringList columnTexts(int column) const
    {
        QStringList texts;
        for (int r = 0; r < view()->rowCount(); ++r)
            texts << shown(r, column);
        return texts;
    }
    void runOn(const QStringList& paths)
    {
        form->showBatchAnalysis(paths);
        QVERIFY(dialog());
        QVERIFY(QTest::qWaitForWindowExposed(dialog()));
        QSignalSpy finished(dialog(), &BatchAnalysisDialog::analysisFinished);
        QVERIFY(dialog()->runButton()->isEnabled());
        dialog()->runButton()->click();
        QVERIFY(dialog()->isRunning() || finished.count() == 1);
        QVERIFY(finished.count() == 1 || finished.wait(60000));
    }

    void selectRows(std::initializer_list<int> rows)
    {
        QItemSelectionModel* selection = dialog()->resultsView()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(view()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // The page the window writes for the curve it shows now.
    QString windowSheet(const QString& name)
    {
        const QString path = dir->filePath(name);
        dialogs.answers = {path};
        form->exportTestSheetAction()->trigger();
        return path;
    }
    QStringList legendNames() const
    {
        QStringList names;
        ChartView* chart = dialog()->comparisonChart();
        for (int i = 0; i < chart->legend->itemCount(); ++i)
            if (auto* item = qobject_cast<QCPPlottableLegendItem*>(chart->legend->item(i)))
                names << item->plottable()->name();
        return names;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        dialogs = BatchDialogs();
        form = std::make_unique<TForm1>(dir->path() + QStringLiteral("/prog/"), QLatin1Char('.'), &dialogs);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        files.clear();
        const double scales[] = {1, 3, 2, 0.5, 1.5};
        for (int i = 0; i < 5; ++i)
            files << writeFile(*dir, QStringLiteral("s%1.csv").arg(i + 1), scaledCurve(scales[i]));
        files << writeFile(*dir, QStringLiteral("empty.csv"), "no numbers here\n");
    }
    void cleanup()
    {
        form.reset();
        store.reset();
        dir.reset();
    }

    void everyFileHasItsRowAndAFailureSaysWhy()
    {
        runOn(files);
        QCOMPARE(dialog()->specimens().size(), std::size_t(6));
        QCOMPARE(view()->rowCount(), 6 + 6);
        QCOMPARE(columnTexts(0).mid(0, 6),
                 (QStringList{"s1.csv", "s2.csv", "s3.csv", "s4.csv", "s5.csv", "empty.csv"}));
        QCOMPARE(columnTexts(0).mid(6), statisticsLabels());
        const int peak = columnOf(QStringLiteral("peak_load"));
        QCOMPARE(columnTexts(peak).mid(0, 6), (QStringList{"100", "300", "200", "50", "150", "--"}));
        // Count and mean over the five values; the failed file counts for none.
        QCOMPARE(shown(6, peak), QStringLiteral("5"));
        QCOMPARE(shown(7, peak), QStringLiteral("160"));
        const QString note = shown(5, columnOf(QStringLiteral("notes")));
        QVERIFY2(!note.isEmpty() && note != QStringLiteral("--"), qPrintable(note));
        QCOMPARE(note, dialog()->specimens()[5].failure);
        QVERIFY(dialog()->statusLabel()->text().contains(QStringLiteral("1 without results")));
        QVERIFY(dialog()->exportButton()->isEnabled());
    }

    void theProgressBarCountsTheFilesBeforeAndAfterARun()
    {
        form->showBatchAnalysis({});
        QVERIFY(dialog());
        QProgressBar* bar = dialog()->progressBar();
        QCOMPARE(bar->text(), QStringLiteral("No files added"));
        dialog()->addFiles(files.mid(0, 2));
        QCOMPARE(bar->text(), QStringLiteral("0 of 2"));
        dialog()->addFiles(files.mid(2));
        QCOMPARE(bar->text(), QStringLiteral("0 of 6"));
        runOn(files);
        QCOMPARE(bar->text(), QStringLiteral("6 of 6"));
    }

    void sortsByNumbersWithTheStatisticsBelow()
    {
        runOn(files);
        const int peak = columnOf(QStringLiteral("peak_load"));
        QHeaderView* header = dialog()->resultsView()->horizontalHeader();
        dialog()->resultsView()->sortByColumn(peak, Qt::AscendingOrder);
        QCOMPARE(columnTexts(peak).mid(0, 6), (QStringList{"50", "100", "150", "200", "300", "--"}));
        QCOMPARE(columnTexts(0).mid(6), statisticsLabels());
        // A click on the header turns the order round; missing values and statistics stay last.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(peak) + 5, header->height() / 2));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(columnTexts(peak).mid(0, 6), (QStringList{"300", "200", "150", "100", "50", "--"}));
        QCOMPARE(columnTexts(0).mid(6), statisticsLabels());
        QCOMPARE(columnTexts(0).value(0), QStringLiteral("s2.csv"));
    }

    void cancelStopsTheFilesNotStarted()
    {
        QStringList many;
        for (int i = 0; i < 60; ++i)
            many << writeFile(*dir, QStringLiteral("m%1.csv").arg(i), scaledCurve(1 + i));
        form->showBatchAnalysis(many);
        QSignalSpy finished(dialog(), &BatchAnalysisDialog::analysisFinished);
        dialog()->runAnalysis();
        QVERIFY(dialog()->cancelButton()->isEnabled());
        QTest::mouseClick(dialog()->cancelButton(), Qt::LeftButton);
        QVERIFY(finished.wait(60000));
        QVERIFY(dialog()->lastRunCancelled());
        QVERIFY2(dialog()->specimens().size() < 60, qPrintable(QString::number(dialog()->specimens().size())));
        QVERIFY(dialog()->statusLabel()->text().contains(QStringLiteral("cancelled")));
        QVERIFY(dialog()->runButton()->isEnabled());
        QVERIFY(!dialog()->cancelButton()->isEnabled());
    }

    void aDoubleClickedRowOpensInTheWindow()
    {
        form->showBatchAnalysis(files);
        dialog()->setFactorTexts(QStringLiteral("0.2"), QStringLiteral("0.1"), QStringLiteral("0.7"));
        runOn(files);
        const SpecimenAnalysis& third = dialog()->specimens()[2];
        QTableView* table = dialog()->resultsView();
        QVERIFY(QTest::qWaitForWindowExposed(dialog()));
        const QRect cell = table->visualRect(view()->index(2, 0));
        QVERIFY(!cell.isEmpty());
        // The view opens the row it was pressed on: a click, then the double click.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(form->workbench().state().SourceDataPath, third.path);
        QVERIFY(form->workbench().lastCalculationCompleted());
        for (int i = 0; i < kFieldCount; ++i) {
            const Field f = static_cast<Field>(i);
            QCOMPARE(form->field(f)->text(), third.workbench->fieldText(f));
        }
        QCOMPARE(form->field(Field::edt1)->text(), QStringLiteral("0.7"));
        // A statistics row opens nothing.
        const QString before = form->workbench().state().SourceDataPath;
        const QPoint statistic = table->visualRect(view()->index(8, 0)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, statistic);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, statistic);
        QCOMPARE(form->workbench().state().SourceDataPath, before);
    }

    void exportsCsvOrWorkbookByTheFilter()
    {
        runOn(files);
        const QString csv = dir->filePath(QStringLiteral("summary.csv"));
        dialogs.answers = {csv};
        dialogs.filterAnswer = QStringLiteral("CSV files (*.csv)");
        QTest::mouseClick(dialog()->exportButton(), Qt::LeftButton);
        QFile written(csv);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), summaryCsvBytes(summaryOf(dialog()->specimens()), u'.'));

        // No extension typed: the workbook filter decides.
        const QString book = dir->filePath(QStringLiteral("summary"));
        dialogs.answers = {book};
        dialogs.filterAnswer = QStringLiteral("Excel workbooks (*.xlsx)");
        dialog()->exportSummary();
        QFile workbook(book);
        QVERIFY(workbook.open(QIODevice::ReadOnly));
        QVERIFY(workbook.read(2) == "PK");
        QVERIFY(dialogs.messages.isEmpty());

        // A folder that is not there: the message names the file, nothing is written.
        const QString lost = dir->filePath(QStringLiteral("nowhere/summary.csv"));
        dialogs.answers = {lost};
        dialog()->exportSummary();
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].level, MessageLevel::Warning);
        QVERIFY(dialogs.messages[0].text.contains(lost));
        QVERIFY(!QFile::exists(lost));
    }

    void compareDrawsTheChosenRowsWithTheirYieldPoints()
    {
        runOn(files);
        ChartView* chart = dialog()->comparisonChart();
        auto drawnCurves = [chart] {
            QStringList names;
            for (int i = 0; i < chart->legend->itemCount(); ++i)
                if (auto* item = qobject_cast<QCPPlottableLegendItem*>(chart->legend->item(i)))
                    names << item->plottable()->name();
            return names;
        };
        // Nothing chosen: every file with a curve, the one without data left out.
        QCOMPARE(drawnCurves(), (QStringList{"s1", "s2", "s3", "s4", "s5"}));

        QTableView* table = dialog()->resultsView();
        table->selectionModel()->select(view()->index(1, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        table->selectionModel()->select(view()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(drawnCurves(), (QStringList{"s2", "s4"}));
        QCOMPARE(chart->overlayCurve(comparisonCurveKey(0))->dataCount(), 8);
        QVERIFY(!chart->overlayCurve(comparisonCurveKey(2)));

        // The yield points follow the chosen definition.
        const int eeep = *comparisonMethodIndex(QStringLiteral("EEEP_ASTM_E2126"));
        QComboBox* box = dialog()->comparisonMethodBox();
        box->setCurrentIndex(eeep);
        const YieldDefinitionResult& r = dialog()->specimens()[1].workbench->otherDefinitions()[0];
        QVERIFY(r.found);
        QCPCurve* yield = chart->overlayCurve(comparisonYieldKey(0));
        QCOMPARE(yield->dataCount(), 1);
        QCOMPARE(yield->data()->at(0)->key, r.yieldPoint.x);
        QCOMPARE(yield->data()->at(0)->value, r.yieldPoint.y);
        const int park = *comparisonMethodIndex(QStringLiteral("park"));
        box->setCurrentIndex(park);
        QCOMPARE(chart->overlayCurve(comparisonYieldKey(0))->data()->at(0)->value,
                 dialog()->specimens()[1].workbench->state().ParkResult.YieldLoad);

        // Saved as a picture in the format of the filter.
        const QString svg = dir->filePath(QStringLiteral("compare"));
        dialogs.answers = {svg};
        dialogs.filterAnswer = QStringLiteral("SVG drawings (*.svg)");
        dialog()->saveComparisonPicture();
        QFile picture(svg);
        QVERIFY(picture.open(QIODevice::ReadOnly));
        QVERIFY(picture.readAll().contains("<svg"));
    }

    void theLegendShowsWholeNamesInAWholeFrame()
    {
        runOn(files);
        ChartView* chart = dialog()->comparisonChart();
        auto* tabs = dialog()->findChild<QTabWidget*>();
        QVERIFY(tabs);
        tabs->setCurrentIndex(1);  // Compare, at the dialog's own size
        QTRY_VERIFY(chart->width() > 400);
        auto picture = [chart] {
            chart->replot();
            return chart->toPixmap(chart->width(), chart->height()).toImage();
        };
        auto darkIn = [](const QImage& image, const QRect& area) {
            int dark = 0;
            for (int y = std::max(area.top(), 0); y <= std::min(area.bottom(), image.height() - 1); ++y)
                for (int x = std::max(area.left(), 0); x <= std::min(area.right(), image.width() - 1); ++x)
                    dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
            return dark;
        };
        auto* item = qobject_cast<QCPPlottableLegendItem*>(chart->legend->item(0));
        QVERIFY(item);
        // File names are full of underscores; one cut off reads as a blank. The underscore
        // lies wholly below the letters of "wall01", which have no descenders.
        auto lowestInk = [&](const QImage& image, const QRect& cell) {
            int lowest = -1;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                if (darkIn(image, QRect(cell.left(), y, cell.width(), 1)) > 0)
                    lowest = y;
            return lowest;
        };
        item->plottable()->setName(QStringLiteral("wall01"));
        const int letters = lowestInk(picture(), item->outerRect());
        QVERIFY(letters >= 0);
        item->plottable()->setName(QStringLiteral("wall_01"));
        const QRect cell = item->outerRect();
        const int underscore =
            darkIn(picture(), QRect(cell.left(), letters + 1, cell.width(), cell.bottom() - letters));
        QVERIFY2(underscore > 0,
                 qPrintable(QStringLiteral("nothing drawn below row %1 of %2").arg(letters).arg(cell.bottom())));

        // The frame's right side is drawn: a dark column the legend's height near its edge.
        const QImage whole = picture();
        const QRect frame = chart->legend->outerRect();
        int longest = 0;
        for (int x = frame.right() - 2; x <= frame.right() + 1; ++x)
            longest = std::max(longest, darkIn(whole, QRect(x, frame.top(), 1, frame.height())));
        QVERIFY2(longest >= frame.height() * 9 / 10, qPrintable(QString::number(longest)));
    }

    void withOptionsEveryFileIsReadSoAndOpensSo()
    {
        const QString german = writeFile(*dir, QStringLiteral("de.csv"),
                                         "Weg;Kraft\nmm;kN\n0;0\n1;50\n1,5;75\n2;80\n3;95\n4;100\n5;90\n6;80\n");
        form->showBatchAnalysis({german, files[0]});
        dialogs.optionsAnswer = ImportOptions::detectEverything();
        QPushButton* options = dialog()->findChild<QPushButton*>(QStringLiteral("importOptions"));
        QVERIFY(options);
        QTest::mouseClick(options, Qt::LeftButton);
        QCOMPARE(dialogs.optionsAskedFor, german);
        QVERIFY(dialog()->batchSettings().import.has_value());
        runOn(dialog()->files());
        const int peak = columnOf(QStringLiteral("peak_load"));
        QCOMPARE(shown(0, peak), QStringLiteral("100"));
        QCOMPARE(shown(1, peak), QStringLiteral("100"));
        QVERIFY(dialog()->specimens()[0].workbench->importedCurve().read.has_value());

        // Opened in the window, it is read with the options too: its units are on the axes.
        emit dialog()->resultsView()->doubleClicked(dialog()->resultsView()->model()->index(0, 0));
        QVERIFY(form->workbench().importedCurve().read.has_value());
        QCOMPARE(form->workbench().axisTitles().load, QStringLiteral("Force (kN)"));
        QCOMPARE(form->field(Field::edt18)->text(), QStringLiteral("100"));
    }

    void itsLayoutAndChoicesAreRemembered()
    {
        QSettings settings(dir->filePath(QStringLiteral("r.conf")), QSettings::IniFormat);
        form->setSettings(&settings);
        form->showBatchAnalysis(files);
        const int farthest = *comparisonMethodIndex(QStringLiteral("FarthestPoint"));
        dialog()->comparisonMethodBox()->setCurrentIndex(farthest);
        dialog()->tabs()->setCurrentIndex(1);
        dialog()->resize(900, 650);
        dialog()->close();
        form = std::make_unique<TForm1>(dir->path() + QStringLiteral("/prog/"), QLatin1Char('.'), &dialogs);
        form->setSettings(&settings);
        form->showBatchAnalysis({});
        QCOMPARE(dialog()->comparisonMethodBox()->currentIndex(), farthest);
        QCOMPARE(dialog()->tabs()->currentIndex(), 1);
        QCOMPARE(dialog()->size(), QSize(900, 650));
        // The factors are not remembered: they start as the window's fields.
        QCOMPARE(dialog()->batchSettings().park, QStringLiteral("0.75"));
    }

    void aRowsTestSheetIsTheWindowsPage()
    {
        runOn(files);
        QVERIFY(!dialog()->testSheetButton()->isEnabled());
        selectRows({1});
        QVERIFY(dialog()->testSheetButton()->isEnabled());
        const QString batchPdf = dir->filePath(QStringLiteral("from batch.pdf"));
        dialogs.answers = {batchPdf};
        QTest::mouseClick(dialog()->testSheetButton(), Qt::LeftButton);
        QCOMPARE(dialogs.lastTitle, QStringLiteral("Export Test Sheet"));
        QCOMPARE(dialogs.lastProposed, QStringLiteral("s2.pdf"));
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.value(0).text));
        QCOMPARE(head(batchPdf, 5), QByteArray("%PDF-"));
        const QString text = pageText(batchPdf);
        const Workbench& s2 = *dialog()->specimens()[1].workbench;
        for (Field f : {Field::edt18, Field::edt10, Field::edt11, Field::edt14})
            QVERIFY2(text.contains(u' ' + s2.fieldText(f) + u' '), qPrintable(s2.fieldText(f)));

        // The same page as the window's after the row is opened there.
        emit dialog()->resultsView()->doubleClicked(view()->index(1, 0));
        QCOMPARE(form->workbench().state().SourceDataPath, files[1]);
        QCOMPARE(pageText(windowSheet(QStringLiteral("from window.pdf"))), text);
    }

    void aCyclicRowGivesItsDirectionInSheetAndComparison()
    {
        // Two records and a monotonic curve read as a record: its loads have one sign only.
        const QString wall = QStringLiteral(RZ_TEST_DATA_DIR "/cyclic/clt_rocking_wall_cyclic_01.csv");
        const QString oneWay = QStringLiteral(RZ_TEST_DATA_DIR "/real/cfs_steel_screw_connection_monotonic_01.csv");
        form->showBatchAnalysis({kRecord, wall, oneWay});
        dialogs.optionsAnswer = cyclicOptions();
        dialog()->findChild<QPushButton*>(QStringLiteral("importOptions"))->click();
        runOn(dialog()->files());
        QCOMPARE(view()->rowCount(), 3 * 2 + 6);
        // Every row with an envelope is compared; the one-way curve has no negative one.
        QCOMPARE(legendNames(), (QStringList{QStringLiteral("cfs_stud_to_osb_connection_cyclic_01 (positive)"),
                                             QStringLiteral("cfs_stud_to_osb_connection_cyclic_01 (negative)"),
                                             QStringLiteral("clt_rocking_wall_cyclic_01 (positive)"),
                                             QStringLiteral("clt_rocking_wall_cyclic_01 (negative)"),
                                             QStringLiteral("cfs_steel_screw_connection_monotonic_01 (positive)")}));
        const CyclicSession& session = *dialog()->specimens()[0].workbench->cyclic();
        const Workbench& negative = session.analysis(Direction::Negative);
        const Workbench& positive = session.analysis(Direction::Positive);
        QVERIFY(negative.fieldText(Field::edt10) != positive.fieldText(Field::edt10));

        // Compare: the negative row alone is the negative envelope, in its quadrant.
        dialog()->tabs()->setCurrentIndex(1);
        selectRows({1});
        QCOMPARE(legendNames(), QStringList{QStringLiteral("cfs_stud_to_osb_connection_cyclic_01 (negative)")});
        ChartView* chart = dialog()->comparisonChart();
        QCPCurve* curve = chart->overlayCurve(comparisonCurveKey(0));
        QCOMPARE(curve->dataCount(), negative.chart()[SeriesId::lnsrsSeries4].data.count());
        double smallest = 0.0;
        for (auto it = curve->data()->constBegin(); it != curve->data()->constEnd(); ++it) {
            smallest = std::min(smallest, it->value);
        }
        // Drawn back into the negative quadrant: the analysed (mirrored) envelope negated.
        const std::vector<Point>& analysed = negative.chart()[SeriesId::lnsrsSeries4].data.points();
        for (std::size_t i = 0; i < analysed.size(); ++i) {
            QCOMPARE(curve->data()->at(static_cast<int>(i))->key, 0.0 - analysed[i].x);
            QCOMPARE(curve->data()->at(static_cast<int>(i))->value, 0.0 - analysed[i].y);
        }
        QCOMPARE(smallest, 0.0 - negative.state().PeakLoad);
        QCPCurve* yield = chart->overlayCurve(comparisonYieldKey(0));
        QCOMPARE(yield->dataCount(), 1);
        QCOMPARE(yield->data()->at(0)->value, 0.0 - negative.state().MeanResult.YieldLoad);
        selectRows({0, 1});
        QCOMPARE(legendNames(), (QStringList{QStringLiteral("cfs_stud_to_osb_connection_cyclic_01 (positive)"),
                                             QStringLiteral("cfs_stud_to_osb_connection_cyclic_01 (negative)")}));
        QVERIFY(chart->overlayCurve(comparisonYieldKey(0))->data()->at(0)->value > 0.0);
        QVERIFY(chart->overlayCurve(comparisonYieldKey(1))->data()->at(0)->value < 0.0);

        // The negative row's sheet: that direction's numbers, as the window's negative page.
        selectRows({1});
        const QString batchPdf = dir->filePath(QStringLiteral("negative from batch.pdf"));
        dialogs.answers = {batchPdf};
        dialog()->exportTestSheets();
        QCOMPARE(dialogs.lastProposed, QStringLiteral("cfs_stud_to_osb_connection_cyclic_01-negative.pdf"));
        const QString text = pageText(batchPdf);
        QVERIFY2(text.contains(u' ' + negative.fieldText(Field::edt10) + u' '), qPrintable(text.left(300)));
        QVERIFY(!text.contains(u' ' + positive.fieldText(Field::edt10) + u' '));
        emit dialog()->resultsView()->doubleClicked(view()->index(1, 0));
        QVERIFY(form->workbench().cyclic());
        form->cyclicDirectionBar()->button(CyclicView::Negative)->click();
        QCOMPARE(form->workbench().cyclicView(), CyclicView::Negative);
        QCOMPARE(pageText(windowSheet(QStringLiteral("negative from window.pdf"))), text);
        // Taking the sheet left the record as the summary and comparison read it.
        QCOMPARE(dialog()->specimens()[0].workbench->cyclicView(), CyclicView::Positive);

        const QByteArray out = qgetenv("RZ_SCREENSHOT_DIR");
        if (!out.isEmpty()) {
            dialog()->resize(1100, 760);
            dialog()->tabs()->setCurrentIndex(1);
            selectRows({0, 1, 3});
            QTest::qWait(200);
            dialog()->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/batch-compare-cyclic.png"));
            dialog()->tabs()->setCurrentIndex(0);
            QTest::qWait(200);
            dialog()->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/batch-results-cyclic.png"));
            QFile::copy(batchPdf, QString::fromLocal8Bit(out) + QStringLiteral("/batch-sheet-negative.pdf"));
        }
    }

    void severalRowsWriteASheetEachAndSkipTheFailed()
    {
        runOn(files);
        const QString folder = dir->filePath(QStringLiteral("sheets"));
        QVERIFY(QDir().mkpath(folder));
        dialogs.folderAnswer = folder;
        selectRows({0, 1, 5});
        QAction* fromMenu = dialog()->resultsView()->findChild<QAction*>(QStringLiteral("exportTestSheetRows"));
        QVERIFY(fromMenu);
        QVERIFY(dialog()->resultsView()->actions().contains(fromMenu));
        fromMenu->trigger();
        QCOMPARE(QDir(folder).entryList(QDir::Files), (QStringList{"s1.pdf", "s2.pdf"}));
        QCOMPARE(head(folder + QStringLiteral("/s1.pdf"), 5), QByteArray("%PDF-"));
        QVERIFY(pageText(folder + QStringLiteral("/s2.pdf"))
                    .contains(u' ' + dialog()->specimens()[1].workbench->fieldText(Field::edt10) + u' '));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].text.contains(QStringLiteral("empty.csv")), qPrintable(dialogs.messages[0].text));
        QVERIFY(dialogs.replaceQuestions.isEmpty());

        // Files already there: one question for all; Cancel leaves them as they were.
        writeFile(*dir, QStringLiteral("sheets/s1.pdf"), "mine");
        selectRows({0, 1});
        dialogs.messages.clear();
        dialogs.replaceAnswer = false;
        dialog()->exportTestSheets();
        QCOMPARE(dialogs.replaceQuestions.size(), 1);
        QVERIFY(dialogs.replaceQuestions[0].contains(QStringLiteral("s1.pdf")));
        QCOMPARE(head(folder + QStringLiteral("/s1.pdf"), 10), QByteArray("mine"));
        dialogs.replaceAnswer = true;
        dialog()->exportTestSheets();
        QCOMPARE(dialogs.replaceQuestions.size(), 2);
        QCOMPARE(head(folder + QStringLiteral("/s1.pdf"), 5), QByteArray("%PDF-"));
        QVERIFY(dialogs.messages.isEmpty());

        // The failed file alone: said at once, no file name asked for.
        selectRows({5});
        dialogs.lastTitle.clear();
        dialog()->exportTestSheets();
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].text.startsWith(QStringLiteral("empty.csv has no test sheet")),
                 qPrintable(dialogs.messages[0].text));
        QVERIFY(dialogs.lastTitle.isEmpty());
    }

    void optionsARunUsedAreTheWindowsNextStart()
    {
        store = std::make_unique<QSettings>(dir->filePath(QStringLiteral("o.conf")), QSettings::IniFormat);
        form->setSettings(store.get());
        ImportOptions chosen = ImportOptions::detectEverything();
        chosen.fromOrigin = true;
        chosen.loadScale.preset = ScalePreset::Factor;
        chosen.loadScale.factor = 2.0;
        QVERIFY(!(chosen == ImportOptions::detectEverything()));
        form->showBatchAnalysis(files.mid(0, 2));
        dialogs.optionsAnswer = chosen;
        dialog()->findChild<QPushButton*>(QStringLiteral("importOptions"))->click();
        runOn(dialog()->files());
        QCOMPARE(shown(0, columnOf(QStringLiteral("peak_load"))), QStringLiteral("200"));
        dialog()->close();

        // The window's Import with Options… starts from them.
        dialogs.answers = {files[2]};
        dialogs.optionsAnswer.reset();
        form->ImportWithOptions1->trigger();
        QVERIFY(dialogs.optionsOffered.has_value());
        QCOMPARE(asText(*dialogs.optionsOffered), asText(chosen));

        // So does the next Batch Analysis, in a window started anew.
        form = std::make_unique<TForm1>(dir->path() + QStringLiteral("/prog/"), QLatin1Char('.'), &dialogs);
        form->setSettings(store.get());
        form->showBatchAnalysis(files.mid(0, 1));
        QVERIFY(dialog()->batchSettings().import.has_value());
        QCOMPARE(asText(*dialog()->batchSettings().import), asText(chosen));
    }

    // Thirty specimens made from a real curve, each stretched in displacement and load:
    // thirty rows, thirty curves in the legend, each drawn apart.
    void thirtyRealisticSpecimens()
    {
        QFile real(QStringLiteral(RZ_TEST_DATA_DIR "/real/cfs_steel_screw_connection_monotonic_01.csv"));
        QVERIFY(real.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = real.readAll().split('\n');
        QStringList thirty;
        for (int k = 0; k < 30; ++k) {
            const double dx = 0.85 + 0.3 * ((k * 7) % 30) / 29.0;
            const double dy = 0.9 + 0.2 * ((k * 11) % 30) / 29.0;
            // Bent as well as stretched, so that the ductilities differ too.
            const double bend = -0.3 + 0.6 * ((k * 13) % 30) / 29.0;
            QByteArray out = lines.value(0) + '\n';
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const QList<QByteArray> f = lines[i].trimmed().split(',');
                if (f.size() == 2)
                    out += QByteArray::number(f[0].toDouble() * dx * (1 + bend * f[0].toDouble() / 30), 'g', 10) + ',' +
                           QByteArray::number(f[1].toDouble() * dy, 'g', 10) + '\n';
            }
            thirty << writeFile(*dir, QStringLiteral("CFS-%1.csv").arg(k + 1, 2, 10, QLatin1Char('0')), out);
        }
        runOn(thirty);
        QCOMPARE(dialog()->resultsModel()->specimenCount(), 30);
        ChartView* chart = dialog()->comparisonChart();
        QCOMPARE(chart->legend->itemCount(), 30);
        std::set<QRgb> colours;
        for (int k = 0; k < 30; ++k)
            colours.insert(chart->overlayCurve(comparisonCurveKey(k))->pen().color().rgb());
        QCOMPARE(colours.size(), std::size_t(8));

        const QByteArray out = qgetenv("RZ_SCREENSHOT_DIR");
        if (!out.isEmpty()) {
            dialog()->resize(1100, 760);
            const int ductility = columnOf(QStringLiteral("mean_ductility"));
            dialog()->resultsView()->sortByColumn(ductility, Qt::DescendingOrder);
            dialog()->resultsView()->horizontalHeader()->moveSection(ductility, 2);
            QTest::qWait(200);
            dialog()->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/batch-results.png"));
            dialog()->tabs()->setCurrentIndex(1);
            dialog()->resultsView()->clearSelection();
            QTest::qWait(200);
            dialog()->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/batch-compare.png"));
        }
    }
};

QTEST_MAIN(BatchAnalysisTest)
#include "test_batch_analysis.moc"
