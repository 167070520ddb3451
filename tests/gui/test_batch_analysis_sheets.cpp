// The Batch Analysis dialog's test sheets: a row's page is the window's, a cyclic row's is
// its direction's, several rows write a page each into a folder and skip the failed, and
// files of one name in different folders keep their rows, legends and pages apart.
#include "BatchAnalysisFixture.h"

using namespace rz;
using namespace rz::test;

class BatchAnalysisSheetsTest : public QObject, private BatchAnalysisFixture {
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

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
        dialog()->tabs()->setCurrentIndex(1);
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
    void rowsOfOneNameInDifferentFoldersKeepTheirSheetsApart()
    {
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("specA")));
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("specB")));
        runOn({writeFile(*dir, QStringLiteral("specA/data.csv"), scaledCurve(1)),
               writeFile(*dir, QStringLiteral("specB/data.csv"), scaledCurve(2))});
        QCOMPARE(columnTexts(0).mid(0, 2), (QStringList{"specA/data.csv", "specB/data.csv"}));
        dialog()->tabs()->setCurrentIndex(1);
        QCOMPARE(legendNames(), (QStringList{"specA/data", "specB/data"}));

        const QString folder = dir->filePath(QStringLiteral("sheets"));
        QVERIFY(QDir().mkpath(folder));
        dialogs.folderAnswer = folder;
        selectRows({0, 1});
        dialog()->exportTestSheets();
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.value(0).text));
        QCOMPARE(QDir(folder).entryList(QDir::Files), (QStringList{"specA_data.pdf", "specB_data.pdf"}));
    }
};

QTEST_MAIN(BatchAnalysisSheetsTest)
#include "test_batch_analysis_sheets.moc"
