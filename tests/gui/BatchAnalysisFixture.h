#pragma once

// What the tests of File > "Batch Analysis…" share: the dialogs they answer, the curves they
// run on, and a window with five specimens and a file without data.
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

namespace rz::test {

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
inline QByteArray scaledCurve(double scale)
{
    const double pts[][2] = {{0, 0}, {1, 50}, {1.5, 75}, {2, 80}, {3, 95}, {4, 100}, {5, 90}, {6, 80}};
    QByteArray bytes = "d,l\n";
    for (const auto& p : pts)
        bytes += QByteArray::number(p[0]) + ',' + QByteArray::number(p[1] * scale) + '\n';
    return bytes;
}

// The words of a PDF page (pdftotext), without the times on it: the window's Calculate and
// the batch's ran at different moments.
inline QString pageText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext failed on %1>").arg(pdf);
    static const QRegularExpression time(QStringLiteral("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}"));
    return QString::fromUtf8(p.readAllStandardOutput()).replace(time, QStringLiteral("<time>")).simplified();
}

inline QByteArray head(const QString& path, qint64 size)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(size) : QByteArray();
}

// What the window's import memory keeps of options.
inline QByteArray asText(const ImportOptions& options)
{
    return QJsonDocument(optionsToJson(options)).toJson(QJsonDocument::Compact);
}

inline ImportOptions cyclicOptions()
{
    ImportOptions options = ImportOptions::detectEverything();
    options.cyclic = CyclicOptions{};
    return options;
}

inline const QString kRecord = QStringLiteral(RZ_TEST_DATA_DIR "/cyclic/cfs_stud_to_osb_connection_cyclic_01.csv");

inline int columnOf(const QString& key)
{
    const std::vector<SummaryColumn> columns = summaryColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].key == key)
            return static_cast<int>(i);
    qFatal("no column %s", qPrintable(key));
}

// A window and, in a folder of its own, five curves (peaks 100, 300, 200, 50, 150) and a
// file without data. A plain struct that each test class takes in: moc sees only the classes.
struct BatchAnalysisFixture {
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

    void setUp()
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
    void tearDown()
    {
        form.reset();
        store.reset();
        dir.reset();
    }
};

}  // namespace rz::test
