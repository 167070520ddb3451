#pragma once

#include "core/batch/BatchAnalysis.h"
#include "core/chart/ChartModel.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QStringList>
#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSettings;
class QSplitter;
class QTabWidget;
class QTableView;

namespace rz {

class ChartView;
class DialogProvider;
class SummarySortProxy;
class SummaryTableModel;

// File > "Batch Analysis…": many files analysed as the window analyses one, on worker
// threads while the window stays usable; their summary with its statistics, sortable; the
// curves of the chosen rows overlaid with their yield points by one definition ("Compare");
// the summary written as CSV or as a workbook; the test sheet of each chosen row as a PDF.
//
//   BatchAnalysisDialog dialog(window, dialogs, u'.');
//   dialog.setFactorTexts("0.15", "0.1", "0.75");   // the window's fields
//   dialog.setFiles(dropped);
//   dialog.show();                                   // Run, or runAnalysis()
class BatchAnalysisDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BatchAnalysisDialog)
public:
    // Compared curves a legend names, in three columns; beyond, it would crowd out the curves.
    static constexpr std::size_t kNamedCurves = 45;
    // Compared curves of more points than this are thinned for the chart's pixels.
    static constexpr std::size_t kThinComparedAbove = 1000;

    BatchAnalysisDialog(QWidget* parent, DialogProvider& dialogs, QChar decimalSeparator);
    ~BatchAnalysisDialog() override;

    // Remembers the layout, the folder, the import choice and the compare definition.
    void setSettings(QSettings* settings);

    void setFiles(const QStringList& paths);
    void addFiles(const QStringList& paths);
    QStringList files() const;
    void setFactorTexts(const QString& loadReduction, const QString& secant, const QString& park);
    // The options the import with options starts from (those the window used last).
    void setImportOptions(const ImportOptions& options);
    // The settings Run uses, from the dialog's fields.
    BatchSettings batchSettings() const;

    // Run: every file on worker threads; returns at once, finished() when done.
    void runAnalysis();
    void cancelAnalysis();
    bool isRunning() const;
    // The last run's specimens, in the order of the files.
    const std::vector<SpecimenAnalysis>& specimens() const { return specimens_; }
    bool lastRunCancelled() const { return cancelled_; }

    // "Export Summary…": CSV or workbook by the chosen filter or the typed extension.
    void exportSummary();
    // "Save Picture…" of the comparison chart.
    void saveComparisonPicture();
    // "Export Test Sheet…": the page the window's File > "Export Test Sheet…" writes, for
    // the chosen row (a file name asked) or for each of several rows (a folder asked, one
    // "<base>.pdf" or "<base>-<direction>.pdf" per row; files already there are replaced
    // only when the user says so). Rows without a curve are skipped and listed.
    void exportTestSheets();
    // The comparison's definition: an index into comparisonMethods().
    void setComparisonMethod(int method);

    // Parts, for keyboard access and tests.
    QListWidget* fileList() const { return fileList_; }
    QTableView* resultsView() const { return table_; }
    SummaryTableModel* resultsModel() const { return model_; }
    ChartView* comparisonChart() const { return chart_; }
    QComboBox* comparisonMethodBox() const { return method_; }
    QPushButton* runButton() const { return run_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* testSheetButton() const { return sheets_; }
    QProgressBar* progressBar() const { return progress_; }
    QTabWidget* tabs() const { return tabs_; }
    QLabel* statusLabel() const { return status_; }

signals:
    // A row was opened (double-click or Enter): the window imports that file with these
    // settings and calculates.
    void specimenOpened(const QString& path, const rz::BatchSettings& settings);
    void analysisFinished();
    // Run was pressed with "With options": the window remembers them as its Import with
    // Options… does.
    void importOptionsUsed(const rz::ImportOptions& options);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFiles(QWidget* parent);
    void buildTabs();
    void addFilesClicked();
    void addFolderClicked();
    void removeSelectedFiles();
    void chooseImportOptions();
    void analysisDone();
    void showResults();
    void updateComparison();
    void updateButtons();
    void openRow(const QModelIndex& index);
    // The model rows chosen on Results that belong to a specimen (no statistics), in order.
    std::vector<int> selectedSpecimenRows() const;
    void writeSheetsToFolder(const std::vector<int>& rows);
    QString startFolder() const;
    void rememberFolder(const QString& path);
    void saveLayout();
    void restoreLayout();

    DialogProvider& dialogs_;
    QChar sep_;
    QSettings* settings_ = nullptr;
    ImportOptions importOptions_;

    QListWidget* fileList_ = nullptr;
    QRadioButton* plainImport_ = nullptr;
    QRadioButton* optionsImport_ = nullptr;
    QPushButton* chooseOptions_ = nullptr;
    QLabel* optionsSummary_ = nullptr;
    QLineEdit* loadReduction_ = nullptr;
    QLineEdit* secant_ = nullptr;
    QLineEdit* park_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTableView* table_ = nullptr;
    SummaryTableModel* model_ = nullptr;
    SummarySortProxy* proxy_ = nullptr;
    ChartView* chart_ = nullptr;
    QLabel* unnamed_ = nullptr;  // says why the legend is hidden
    QComboBox* method_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* savePicture_ = nullptr;
    QPushButton* sheets_ = nullptr;

    ChartModel comparison_;
    std::vector<SpecimenAnalysis> specimens_;
    std::vector<int> rowSpecimen_;                        // the specimen of each table row
    std::vector<std::optional<Direction>> rowDirection_;  // and its loading direction (cyclic)
    BatchSettings ranWith_;
    bool cancelled_ = false;
    // Shared with the worker: progress it reports, and the user's Cancel.
    struct Progress {
        std::atomic<int> done{0};
        std::atomic<int> total{0};
        std::atomic<bool> cancel{false};
    };
    std::shared_ptr<Progress> running_;
    QFutureWatcher<std::shared_ptr<BatchResult>>* watcher_ = nullptr;
};

}  // namespace rz
