// The main window driven through its real widgets, with the dialogs answered by the test.
#include "../excel/ChartSchemaOrder.h"
#include "FakeDialogs.h"
#include "chartview/ChartView.h"
#include "gui/Links.h"
#include "gui/MainWindow.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace rz;
using namespace rz::test;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;

    QString text(Field f) { return form->field(f)->text(); }
    void importFile(const QString& path)
    {
        dialogs.answers = {path};
        form->ImportLoadDisplacementFile1->trigger();
    }
    void maybeScreenshot(const QString& name)
    {
        const QByteArray out = qgetenv("RZ_SCREENSHOT_DIR");
        if (!out.isEmpty())
            form->grab().save(QString::fromLocal8Bit(out) + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

private slots:
    void init()
    {
        dialogs = FakeDialogs();
        form = std::make_unique<TForm1>(dir.path() + QStringLiteral("/prog/"), QLatin1Char('.'), &dialogs);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void constructionState()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Rorevadi Zadiz ovo Rudevadiz (by Dr. Quillon) (20190308)"));
        QCOMPARE(text(Field::edt12), QStringLiteral("0.15"));
        QCOMPARE(text(Field::edt17), QStringLiteral("0.1"));
        QCOMPARE(text(Field::edt1), QStringLiteral("0.75"));
        for (int i = 0; i < kFieldCount; ++i) {
            const Field f = static_cast<Field>(i);
            const bool editable = f == Field::edt1 || f == Field::edt12 || f == Field::edt17;
            QCOMPARE(form->field(f)->isReadOnly(), !editable);
            if (!editable)
                QVERIFY2(text(f).isEmpty(), fieldName(f));
        }
        QVERIFY(form->rb4->isChecked());
        QCOMPARE(form->workbench().state().DisplayMethod, 0);
        QCOMPARE(form->workbench().state().PeakIndex, -1);
        QVERIFY(form->workbench().state().StiffnessFound);
        QCOMPARE(form->findChild<QGroupBox*>(QStringLiteral("grp2"))->title(), QStringLiteral("Graph"));
        maybeScreenshot(QStringLiteral("empty"));
    }

    void menusInOrder()
    {
        QStringList captions;
        for (QAction* menu : form->menuBar()->actions()) {
            captions << menu->text().remove(QLatin1Char('&')) + QLatin1Char(':');
            for (QAction* item : menu->menu()->actions())
                captions << item->text();
        }
        // Import with Options, Import Cyclic Test, Batch Analysis, Recent Files (with its
        // separator), Export Test Sheet, the View menu and the Help menu join the menus of the
        // design.
        QCOMPARE(captions,
                 (QStringList{QStringLiteral("File:"), QStringLiteral("Import Load-Displacement Data"),
                              QStringLiteral("Import with Options\u2026"), QStringLiteral("Import Cyclic Test\u2026"),
                              QStringLiteral("Batch Analysis\u2026"),
                              QStringLiteral("Recent &Files"), QString(),
                              QStringLiteral("Export Results"), QStringLiteral("Export Excel"),
                              QStringLiteral("Save Picture"), QStringLiteral("Export Test Sheet\u2026"),
                              QStringLiteral("View:"),
                              QStringLiteral("Other Definitions"), QStringLiteral("Options:"),
                              QStringLiteral("Excel Options"), QStringLiteral("About:"), QStringLiteral("About Kelvo"),
                              QStringLiteral("Donation (捐助)"), QStringLiteral("How to use?"),
                              QStringLiteral("访问 www.rorevadi.example"), QStringLiteral("Help:"),
                              QStringLiteral("User Guide")}));
    }

    void aboutMenuLinksOpenTheirExactAddresses()
    {
        QStringList opened;
        const UrlOpener previous = setUrlOpener([&opened](const QUrl& url, QWidget*) { opened << url.toString(); });
        form->Howtouse1->trigger();
        form->VisitWebSite1->trigger();
        setUrlOpener(previous);
        QCOMPARE(opened, (QStringList{QStringLiteral("http://www.rorevadi.example/?p=2216"),
                                      QStringLiteral("http://www.rorevadi.example")}));
    }

    void excelExportWritesAWorkbookAndOpensIt()
    {
        importFile(writeFile(dir, QStringLiteral("curve.csv"), kWorkedExample));
        form->btn1->click();
        dialogs.messages.clear();
        form->setWorkbookFolder(dir.filePath(QStringLiteral("books")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("books")));
        form->ExportExcel1->trigger();
        form->ExportExcel1->trigger();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(dialogs.openedWorkbooks, (QStringList{dir.filePath(QStringLiteral("books/Book1.xlsx")),
                                                       dir.filePath(QStringLiteral("books/Book2.xlsx"))}));
        QVERIFY(QFileInfo(dialogs.openedWorkbooks[0]).size() > 1000);
        for (const QString& book : dialogs.openedWorkbooks)
            QCOMPARE(rz::excel::test::chartOrderProblems(book), QStringList());

        // An axis position that is not a number ends the export with its error; the
        // workbook built so far is still saved and shown.
        form->ExcelOp.XAxisPosition = QStringLiteral("abc");
        form->ExportExcel1->trigger();
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].level, MessageLevel::Error);
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("'abc' is not a valid floating point value"));
        QCOMPARE(dialogs.openedWorkbooks.size(), 3);
    }

    // Under a decimal comma the chart's tick labels take the comma the fields show.
    void chartTickLabelsFollowTheDecimalSeparator_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::newRow("decimal comma") << QChar(u',');
        QTest::newRow("decimal point") << QChar(u'.');
    }
    void chartTickLabelsFollowTheDecimalSeparator()
    {
        QFETCH(QChar, separator);
        form = std::make_unique<TForm1>(dir.path() + QStringLiteral("/prog/"), separator, &dialogs);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QByteArray curve = "d l\n0 0\n\"0.5\" \"1.2\"\n1 \"2.5\"\n\"1.5\" \"1.75\"\n";
        curve.replace('.', separator.toLatin1());
        importFile(writeFile(dir, QStringLiteral("small.csv"), curve));
        form->chart()->replot();
        QStringList labels;
        for (QCPAxis* axis : {form->chart()->xAxis, form->chart()->yAxis})
            labels += axis->tickVectorLabels().toList();
        const QChar other = separator == u',' ? u'.' : u',';
        QVERIFY2(labels.join(QString()).contains(separator), qPrintable(labels.join(QLatin1Char(' '))));
        QVERIFY2(!labels.join(QString()).contains(other), qPrintable(labels.join(QLatin1Char(' '))));
        QCOMPARE(text(Field::edt18), QString(QStringLiteral("2.5")).replace(u'.', separator));
    }

    void excelOptionsDialogOpensFreshAndUpdates()
    {
        QTimer::singleShot(0, [] {
            QWidget* dlg = QApplication::activeModalWidget();
            QVERIFY(dlg);
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Export Options"));
            auto* width = dlg->findChild<QLineEdit*>(QStringLiteral("edt4"));
            QVERIFY(width);
            QCOMPARE(width->text(), QStringLiteral("300"));
            width->setText(QStringLiteral("420"));
            dlg->findChild<QPushButton*>(QStringLiteral("btn1"))->click();
            dlg->findChild<QPushButton*>(QStringLiteral("btn2"))->click();
        });
        form->ExcelOptions1->trigger();
        QCOMPARE(form->ExcelOp.ChartWidth, 420);
    }

    void savingAPictureKeepsTheUsersZoom()
    {
        importFile(writeFile(dir, QStringLiteral("curve.csv"), kWorkedExample));
        form->btn1->click();
        form->chart()->xAxis->setRange(1.0, 2.0);
        form->chart()->replot();
        dialogs.answers = {dir.filePath(QStringLiteral("zoomed.png"))};
        form->SavePicture1->trigger();
        QCOMPARE(form->chart()->xAxis->range().lower, 1.0);
        QCOMPARE(form->chart()->xAxis->range().upper, 2.0);
        // A new calculation changes the series: the axes follow the data again.
        form->btn1->click();
        QVERIFY(form->chart()->xAxis->range().lower < 0.0);
    }

    void aboutAndDonationOpenModallyFromTheMenu()
    {
        for (QAction* item : {form->AboutKelvo1, form->Donation1}) {
            QString title;
            QTimer::singleShot(0, [this, &title] {
                QWidget* dlg = QApplication::activeModalWidget();
                QVERIFY(dlg);
                title = dlg->windowTitle();
                const QByteArray out = qgetenv("RZ_SCREENSHOT_DIR");
                if (!out.isEmpty())
                    dlg->grab().save(QString::fromLocal8Bit(out) + QLatin1Char('/') + dlg->objectName() + QStringLiteral(".png"));
                dlg->close();
            });
            item->trigger();
            QCOMPARE(title, item == form->AboutKelvo1 ? QStringLiteral("About") : QStringLiteral("Donation (捐助)"));
        }
    }

    void importStartsInProgramFolderAndFillsTheWindow()
    {
        const QString path = writeFile(dir, QStringLiteral("curve.csv"), kWorkedExample);
        importFile(path);
        QCOMPARE(dialogs.lastTitle, QStringLiteral("Import Load-Displacement Data"));
        QCOMPARE(dialogs.lastFolder, dir.path() + QStringLiteral("/prog/"));
        QCOMPARE(dialogs.lastFilters, (QStringList{QStringLiteral("CSV files (*.csv)"), QStringLiteral(" Text files (*.txt)")}));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].level, MessageLevel::Information);
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("9 Lines of date have been imported!"));
        QCOMPARE(text(Field::edt18), QStringLiteral("100"));
        QCOMPARE(text(Field::edt19), QStringLiteral("6"));
        QCPGraph* curve = form->chart()->seriesGraph(SeriesId::lnsrsSeries4);
        QCOMPARE(curve->dataCount(), 8);
        QCPGraph* peak = form->chart()->seriesGraph(SeriesId::pntsrsSeries4);
        QCOMPARE(peak->dataCount(), 1);
        QCOMPARE(peak->data()->at(0)->key, 4.0);
        QCOMPARE(peak->data()->at(0)->value, 100.0);

        // The next dialog starts in the data file's folder.
        dialogs.answers.clear();
        form->ImportLoadDisplacementFile1->trigger();
        QCOMPARE(dialogs.lastFolder, dir.path() + QLatin1Char('/'));
    }

    void cancelChangesNothing()
    {
        importFile(writeFile(dir, QStringLiteral("curve.csv"), kWorkedExample));
        form->btn1->click();
        const QString before = text(Field::edt10);
        dialogs.messages.clear();
        importFile(QString());
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(text(Field::edt10), before);
        QCOMPARE(form->chart()->seriesGraph(SeriesId::lnsrsSeries4)->dataCount(), 8);
    }

    void calculateShowsEveryRow()
    {
        importFile(writeFile(dir, QStringLiteral("curve.csv"), kWorkedExample));
        form->btn1->click();
        const QStringList expected = {QStringLiteral("87.5"), QStringLiteral("2.5"),  QStringLiteral("2.2000"),
                                      QStringLiteral("86"),   QStringLiteral("2.4"),  QStringLiteral("2.2917"),
                                      QStringLiteral("80"),   QStringLiteral("2"),    QStringLiteral("2.7500"),
                                      QStringLiteral("84.5"), QStringLiteral("2.3"),  QStringLiteral("2.4139")};
        const Field rows[] = {Field::edt2, Field::edt3,  Field::edt8,  Field::edt4,  Field::edt5,  Field::edt9,
                              Field::edt6, Field::edt7,  Field::edt13, Field::edt10, Field::edt11, Field::edt14};
        for (int i = 0; i < 12; ++i)
            QCOMPARE(text(rows[i]), expected[i]);
        QCOMPARE(text(Field::edt15), QStringLiteral("5.5"));
        QCOMPARE(text(Field::edt16), QStringLiteral("50"));
        maybeScreenshot(QStringLiteral("calculated"));
    }

    void typedFactorIsUsedAndBadTextFocusesTheField()
    {
        importFile(writeFile(dir, QStringLiteral("curve.csv"), kWorkedExample));
        dialogs.messages.clear();
        QLineEdit* edt17 = form->field(Field::edt17);
        edt17->clear();
        QTest::keyClicks(edt17, QStringLiteral("abc"));
        form->btn1->setFocus();
        form->btn1->click();
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].level, MessageLevel::Warning);
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("'abc' is not a valid floating point value"));
        QCOMPARE(QApplication::focusWidget(), edt17);
        // The ultimate displacement was already found before the bad factor.
        QCOMPARE(text(Field::edt15), QStringLiteral("5.5"));
        QVERIFY(text(Field::edt16).isEmpty());
    }

    void radioButtonsSwitchConstructionSeries()
    {
        importFile(writeFile(dir, QStringLiteral("curve.csv"), kWorkedExample));
        form->btn1->click();
        auto visible = [this](SeriesId id) { return form->chart()->seriesGraph(id)->visible(); };
        QTest::mouseClick(form->rb2, Qt::LeftButton, {}, QPoint(6, form->rb2->height() / 2));
        QCOMPARE(form->workbench().state().DisplayMethod, 2);
        QVERIFY(visible(SeriesId::lnsrsSeries2) && visible(SeriesId::pntsrsSeries2));
        QVERIFY(!visible(SeriesId::lnsrsSeries1) && !visible(SeriesId::pntsrsSeries1));
        QVERIFY(!visible(SeriesId::lnsrsSeries3) && !visible(SeriesId::pntsrsSeries3));
        QVERIFY(visible(SeriesId::lnsrsSeries4) && visible(SeriesId::pntsrsSeries4) && visible(SeriesId::pntsrsSeries5));
        maybeScreenshot(QStringLiteral("park_only"));
        QTest::mouseClick(form->rb4, Qt::LeftButton, {}, QPoint(6, form->rb4->height() / 2));
        for (int i = 0; i < kSeriesCount; ++i)
            QVERIFY(visible(static_cast<SeriesId>(i)));
    }

    void unreadableFileShowsErrorBoxAndWindowGoesOn()
    {
        importFile(dir.filePath(QStringLiteral("missing.csv")));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].level, MessageLevel::Error);
        QVERIFY(dialogs.messages[0].text.contains(QStringLiteral("missing.csv")));
        QCOMPARE(form->workbench().state().ResultBaseName, QStringLiteral("missing"));
        // Still usable: a good file imports afterwards.
        dialogs.messages.clear();
        importFile(writeFile(dir, QStringLiteral("curve.csv"), kWorkedExample));
        QCOMPARE(text(Field::edt18), QStringLiteral("100"));
    }

    void reportAndPictureDialogsProposeNamesAndMoveFolders()
    {
        importFile(writeFile(dir, QStringLiteral("curve.csv"), kWorkedExample));
        form->btn1->click();
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("out")));
        const QString report = dir.filePath(QStringLiteral("out/r.csv"));
        dialogs.answers = {report};
        form->ExportYieldingPointTextFiles1->trigger();
        QCOMPARE(dialogs.lastProposed, QStringLiteral("curve_YieldingPoint.csv"));
        QFile f(report);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("\r\n"), 37 + 7);  // with the other definitions' section

        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("pics")));
        const QString picture = dir.filePath(QStringLiteral("pics/chart"));
        dialogs.answers = {picture};
        dialogs.filterAnswer = QStringLiteral("PNG images (*.png)");
        form->SavePicture1->trigger();
        QCOMPARE(dialogs.lastProposed, QStringLiteral("curve_YieldingPoint.bmp"));
        QCOMPARE(dialogs.lastFilters.value(0), QStringLiteral("Bitmaps (*.bmp)"));
        QCOMPARE(dialogs.lastFolder, dir.filePath(QStringLiteral("out/")));
        QImage image;
        QVERIFY(image.load(picture, "PNG"));
        QCOMPARE(image.size(), form->chart()->size());

        // The picture's folder moves the import and report dialogs, not its own.
        dialogs.answers.clear();
        form->ExportYieldingPointTextFiles1->trigger();
        QCOMPARE(dialogs.lastFolder, dir.filePath(QStringLiteral("pics/")));
        form->SavePicture1->trigger();
        QCOMPARE(dialogs.lastFolder, dir.filePath(QStringLiteral("out/")));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
