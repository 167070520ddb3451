// File > "Batch Analysis…" driven through its widgets: a run over generated files with a
// failing one, the table sorted by numbers with its statistics kept under the rows, Cancel,
// a row opened in the window, the summary exported, and the comparison chart.
#include "BatchAnalysisFixture.h"

#include <QProgressDialog>
#include <QTimer>

#include <cmath>

using namespace rz;
using namespace rz::test;

namespace {

// points samples of peak (1 - e^(-d / rise)) from d = 0 to 30.
QByteArray risingCurve(int points, double peak, double rise)
{
    QByteArray bytes = "d,l\n";
    for (int i = 0; i < points; ++i) {
        const double d = 30.0 * i / (points - 1);
        bytes += QByteArray::number(d) + ',' + QByteArray::number(peak * (1 - std::exp(-d / rise))) + '\n';
    }
    return bytes;
}

}  // namespace

class BatchAnalysisTest : public QObject, private BatchAnalysisFixture {
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

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

    void addFolderTakesItsDataFilesOnceOrSaysItHoldsNone()
    {
        form->showBatchAnalysis({});
        QVERIFY(dialog());
        QPushButton* addFolder = nullptr;
        for (QPushButton* b : dialog()->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Add &Folder\u2026"))
                addFolder = b;
        QVERIFY(addFolder);
        const QString series = dir->filePath(QStringLiteral("series"));
        QVERIFY(QDir().mkpath(series));
        for (const char* name : {"b.csv", "a.TXT", "c.dat", "readme.md"})
            writeFile(*dir, QStringLiteral("series/") + QLatin1StringView(name), scaledCurve(1));
        dialogs.folderAnswer = series;
        QTest::mouseClick(addFolder, Qt::LeftButton);
        const QStringList inSeries{series + QStringLiteral("/a.TXT"), series + QStringLiteral("/b.csv"),
                                   series + QStringLiteral("/c.dat")};
        QCOMPARE(dialog()->files(), inSeries);
        // A file already listed, or listed twice in what is added, stays one row.
        dialog()->addFiles({files[0], files[0], series + QStringLiteral("/../series/b.csv")});
        QCOMPARE(dialog()->files(), inSeries + QStringList{files[0]});
        QTest::mouseClick(addFolder, Qt::LeftButton);
        QCOMPARE(dialog()->fileList()->count(), 4);
        QVERIFY(dialogs.messages.isEmpty());

        const QString bare = dir->filePath(QStringLiteral("bare"));
        QVERIFY(QDir().mkpath(bare));
        dialogs.folderAnswer = bare;
        QTest::mouseClick(addFolder, Qt::LeftButton);
        QCOMPARE(dialog()->fileList()->count(), 4);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].level, MessageLevel::Information);
        QCOMPARE(dialogs.messages[0].text, bare + QStringLiteral(" holds no .csv, .txt, .dat or .xlsx file."));
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

    // A workbook of many long curves is written on a worker, with a window whose Cancel
    // keeps nothing; left alone, the same export is written whole.
    void aLongSummaryExportCanBeCancelled()
    {
        const QByteArray longCurve = risingCurve(5000, 60, 1.5);
        QStringList many;
        for (int k = 0; k < 30; ++k)
            many << writeFile(*dir, QStringLiteral("L%1.csv").arg(k), longCurve);
        runOn(many);
        dialogs.progress = true;
        const QString book = dir->filePath(QStringLiteral("summary.xlsx"));
        dialogs.answers = {book};
        dialogs.filterAnswer = QStringLiteral("Excel workbooks (*.xlsx)");
        QString title;
        QTimer::singleShot(0, dialog(), [this, &title] {
            auto* window = dialog()->findChild<QProgressDialog*>(QStringLiteral("ExportProgress"));
            if (auto* cancel = window ? window->findChild<QPushButton*>() : nullptr) {
                title = window->windowTitle();
                cancel->click();
            }
        });
        dialog()->exportSummary();
        QCOMPARE(title, QStringLiteral("Export Summary"));
        QCOMPARE(dialog()->statusLabel()->text(), QStringLiteral("Summary not written: cancelled."));
        QCOMPARE(QDir(dir->path()).entryList({QStringLiteral("*summary.xlsx*")}, QDir::Files | QDir::Hidden),
                 QStringList());
        QVERIFY(dialogs.messages.isEmpty());

        dialogs.answers = {book};
        dialog()->exportSummary();
        QCOMPARE(head(book, 2), QByteArray("PK"));
        QVERIFY(dialog()->statusLabel()->text().startsWith(QStringLiteral("Summary written to")));
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
        // Not drawn while Results is in front, nor when its choice of rows changes there.
        QCOMPARE(dialog()->tabs()->currentIndex(), 0);
        QVERIFY(!chart->overlayCurve(comparisonCurveKey(0)));
        dialog()->resultsView()->selectRow(0);
        QVERIFY(!chart->overlayCurve(comparisonCurveKey(0)));
        dialog()->resultsView()->clearSelection();
        dialog()->tabs()->setCurrentIndex(1);
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
    // Past 15 entries the legend wraps into columns, and the last column has empty cells:
    // a count that is not a multiple of 15 once brought the dialog down. Past three
    // columns no legend is made: the curves are drawn, and the dialog says why none is named.
    void manyCurvesWrapTheLegendIntoColumns()
    {
        const int count = static_cast<int>(BatchAnalysisDialog::kNamedCurves) + 2;
        QStringList many, names;
        for (int k = 1; k <= count; ++k) {
            names << QStringLiteral("m%1").arg(k, 2, 10, QLatin1Char('0'));
            many << writeFile(*dir, names.constLast() + QStringLiteral(".csv"), scaledCurve(k));
        }
        runOn(many);
        QCOMPARE(dialog()->resultsModel()->specimenCount(), count);
        dialog()->tabs()->setCurrentIndex(1);
        ChartView* chart = dialog()->comparisonChart();
        auto* unnamed = dialog()->findChild<QLabel*>(QStringLiteral("compareUnnamed"));
        QVERIFY(unnamed);
        QVERIFY(legendNames().isEmpty());
        QVERIFY(!chart->legend->visible());
        QVERIFY(unnamed->isVisible());
        QCOMPARE(unnamed->text(), QStringLiteral("47 curves are more than a legend names (45): choose the rows to "
                                                 "name on Results."));
        QVERIFY(chart->overlayCurve(comparisonCurveKey(count - 1)));

        QTableView* table = dialog()->resultsView();
        table->selectionModel()->select(QItemSelection(view()->index(0, 0), view()->index(15, 0)),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(legendNames(), names.mid(0, 16));
        QVERIFY(chart->legend->visible());
        QVERIFY(!unnamed->isVisible());
        table->selectionModel()->select(QItemSelection(view()->index(0, 0), view()->index(2, 0)),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(legendNames(), names.mid(0, 3));
    }

    // A compared curve of thousands of points is drawn thinned to the chart's pixels, over
    // its whole extent; one of a few hundred as it is.
    void longComparedCurvesAreThinned()
    {
        runOn({writeFile(*dir, QStringLiteral("long.csv"), risingCurve(5000, 60, 1.5)),
               writeFile(*dir, QStringLiteral("short.csv"), risingCurve(250, 50, 2))});
        dialog()->tabs()->setCurrentIndex(1);
        ChartView* chart = dialog()->comparisonChart();
        const qsizetype drawn = chart->overlayDrawnCount(comparisonCurveKey(0));
        QVERIFY2(drawn >= 2 && drawn < 2000, qPrintable(QString::number(drawn)));
        QCOMPARE(chart->overlayDrawnCount(comparisonCurveKey(1)), 250);
        QVERIFY(chart->xAxis->range().contains(30.0));
        QVERIFY(chart->yAxis->range().contains(59.9));
    }

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
        dialog()->tabs()->setCurrentIndex(1);
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
