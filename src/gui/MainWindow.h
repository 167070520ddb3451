#pragma once

#include "core/import/ImportOptions.h"
#include "core/workbench/Workbench.h"
#include "excel/ExcelOp.h"
#include "gui/ImportMemory.h"
#include "gui/UserGuideWindow.h"

#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSettings;
class QSplitter;

namespace rz {

class BatchAnalysisDialog;
class ChartView;
class ImportNotice;
struct BatchSettings;
class CyclicDirectionBar;
class OtherDefinitionsDock;
class RecentFilesMenu;
class StatusBar;

// Everything the main window asks of the user through modal dialogs. The desktop
// program shows real dialogs; tests inject their own answers.
class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    virtual void showMessage(QWidget* parent, MessageLevel level, const QString& text);
    // An empty result means the user cancelled.
    virtual QString getOpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                    const QStringList& filters);
    virtual QString getSaveFileName(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& proposedName, const QStringList& filters,
                                    QString* selectedFilter);
    // Several existing files (Batch Analysis); empty when the user cancelled.
    virtual QStringList getOpenFileNames(QWidget* parent, const QString& title, const QString& folder,
                                         const QStringList& filters);
    // An existing folder; empty when the user cancelled.
    virtual QString getExistingDirectory(QWidget* parent, const QString& title, const QString& folder);
    // "Replace All" or "Cancel" for files about to be written over; true: replace them.
    virtual bool confirmReplace(QWidget* parent, const QString& title, const QString& text);
    // Information icon and an OK button (the spreadsheet program could not be started).
    virtual void showStartFailure(QWidget* parent, const QString& text, const QString& caption);
    // Opens a written workbook in the desktop's spreadsheet program, or says where it is.
    virtual void openWorkbook(QWidget* parent, const QString& path);
    // The import options for path, starting from initial (ImportOptionsDialog); nothing
    // when the user cancelled. Throws FileReadError or XlsxError when the file cannot be read.
    virtual std::optional<ImportOptions> getImportOptions(QWidget* parent, const QString& path,
                                                          const ImportOptions& initial, QChar decimalSeparator);
    // Whether long exports and imports show a progress dialog with a Cancel button.
    virtual bool showsProgress() const { return true; }
};

extern const char* const kApplicationTitle;  // the caption of the application's error boxes

class TForm1 : public QMainWindow, private UserInterface {
    Q_OBJECT
public:
    // programFolder: the folder of the executable (the dialogs start there).
    TForm1(const QString& programFolder, QChar decimalSeparator, DialogProvider* dialogs = nullptr,
           QWidget* parent = nullptr);
    ~TForm1() override;

    Workbench& workbench() { return *workbench_; }
    ChartView* chart() const { return cht1; }
    QLineEdit* field(Field f) const { return edits_[static_cast<std::size_t>(f)]; }
    void setDialogProvider(DialogProvider* dialogs);

    // Handlers, named after their controls.
    void ImportLoadDisplacementFile1Click();
    void ImportWithOptions1Click();
    // File > "Import Cyclic Test…": the open dialog, then the import options with "cyclic"
    // ticked (MainWindowImport.cpp).
    void importCyclicTest();
    void ExportYieldingPointTextFiles1Click();
    void SavePicture1Click();
    void ExportExcel1Click();
    void ExcelOptions1Click();
    void AboutKelvo1Click();
    void Donation1Click();
    void Howtouse1Click();
    void VisitWebSite1Click();
    void userGuideClick();
    void btn1Click();
    void rb1Click();
    void rb2Click();
    void rb3Click();
    void rb4Click();

    // Menu items and controls, by their names.
    QAction* ImportLoadDisplacementFile1 = nullptr;
    QAction* ImportWithOptions1 = nullptr;
    QAction* importCyclicAction = nullptr;
    QAction* ExportYieldingPointTextFiles1 = nullptr;
    QAction* ExportExcel1 = nullptr;
    QAction* SavePicture1 = nullptr;
    QAction* ExcelOptions1 = nullptr;
    QAction* AboutKelvo1 = nullptr;
    QAction* Donation1 = nullptr;
    QAction* Howtouse1 = nullptr;
    QAction* VisitWebSite1 = nullptr;
    QPushButton* btn1 = nullptr;
    QRadioButton* rb1 = nullptr;
    QRadioButton* rb2 = nullptr;
    QRadioButton* rb3 = nullptr;
    QRadioButton* rb4 = nullptr;
    ChartView* cht1 = nullptr;
    StatusBar* rzstsbr2 = nullptr;

    // Desktop integration (MainWindowDesktop.cpp).
    // Imports path as "Import Load-Displacement Data" does after its dialog, and adds
    // it to Recent Files when it could be read.
    void openFile(const QString& path);
    // "Import with Options…" for a known file (MainWindowImport.cpp): the dialog with the
    // options used last, then the import with a progress window.
    void importWithOptions(const QString& path);
    // The status bar's warning after a plain import that the options read differently.
    ImportNotice* importNotice() const { return importNotice_; }
    // Files from the command line or dropped on the window.
    void openFiles(const QStringList& paths);
    // The user's settings: Recent Files, and the window's layout saved on closing. Null:
    // nothing is remembered (the default, and what tests use unless they give a file).
    void setSettings(QSettings* settings);
    // Puts the window where the settings say; false on a first run.
    bool restoreLayout();
    RecentFilesMenu* recentFilesMenu() const { return recentFiles_; }
    QAction* userGuideAction() const { return userGuide_; }
    QSplitter* splitter() const { return splitter_; }
    // The user guide's window while it exists.
    UserGuideWindow* userGuideWindow() const { return userGuideWindow_; }

    // The table of the yield definitions of the standards (MainWindowOtherDefinitions.cpp),
    // and its item in the View menu.
    OtherDefinitionsDock* otherDefinitionsDock() const { return otherDefinitions_; }
    QAction* otherDefinitionsAction() const;

    // File > "Export Test Sheet…" (MainWindowSheet.cpp): the one-page PDF of the curve,
    // its chart as shown and its results.
    void exportTestSheetClick();
    QAction* exportTestSheetAction() const { return exportTestSheet_; }
    // File > "Batch Analysis…" (MainWindowBatch.cpp): the dialog, with files when given.
    void batchAnalysisClick();
    void showBatchAnalysis(const QStringList& files);
    QAction* batchAnalysisAction() const { return batchAnalysis_; }
    BatchAnalysisDialog* batchAnalysisDialog() const { return batchDialog_; }
    // A specimen of the batch opened in the window: its file read as the batch read it,
    // the batch's factors in the fields, Calculate.
    void openSpecimen(const QString& path, const BatchSettings& settings);
    // Positive / Negative / Average beside the results, shown for a cyclic record only
    // (MainWindowCyclic.cpp); the status bar's summary of the record.
    CyclicDirectionBar* cyclicDirectionBar() const { return cyclicBar_; }
    QLabel* cyclicSummary() const { return cyclicSummary_; }

    static const QStringList& pictureFilters();
    // Where exported workbooks are saved (the program's own folder by default).
    void setWorkbookFolder(const QString& folder) { workbookFolder_ = folder; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // UserInterface
    void showMessage(MessageLevel level, const QString& text) override;
    void focusField(Field field) override;

    void buildMenus();
    void buildClientArea();
    void buildOtherDefinitions();
    void buildTestSheet(QMenu* fileMenu);
    void buildBatchAnalysis(QMenu* fileMenu);
    void refresh();
    void missingRecentFileChosen(const QString& path);
    // MainWindowImport.cpp
    void buildImportWithOptions();
    void importWithInitial(const QString& path, const ImportOptions& initial);
    // MainWindowCyclic.cpp
    void buildCyclic();
    void refreshCyclic();
    void runImportWithOptions(const QString& path, const ImportOptions& options);
    void afterPlainImport(const QString& path);
    void openRecentFile(const QString& path);
    // Runs a handler body; an error it does not handle is shown in the application's
    // error box and the window goes on.
    void guarded(const std::function<void()>& body);

    std::unique_ptr<Workbench> workbench_;
    std::unique_ptr<DialogProvider> ownDialogs_;
    DialogProvider* dialogs_ = nullptr;
    std::array<QLineEdit*, kFieldCount> edits_{};
    QString workbookFolder_;
    RecentFilesMenu* recentFiles_ = nullptr;
    QAction* userGuide_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QSettings* settings_ = nullptr;
    QPointer<UserGuideWindow> userGuideWindow_;
    OtherDefinitionsDock* otherDefinitions_ = nullptr;
    std::uint64_t loggedCurveRevision_ = 0;
    ImportNotice* importNotice_ = nullptr;
    ImportMemory importMemory_;
    QAction* exportTestSheet_ = nullptr;
    QAction* batchAnalysis_ = nullptr;
    BatchAnalysisDialog* batchDialog_ = nullptr;  // a child, made on first use
    // What the last Calculate showed and when it ran, for the test sheet's notes.
    QStringList calculateMessages_;
    QDateTime calculateTime_;
    std::uint64_t calculatedCurve_ = 0;  // the curve's revision at that Calculate
    bool recordingCalculate_ = false;
    CyclicDirectionBar* cyclicBar_ = nullptr;
    QLabel* cyclicSummary_ = nullptr;

public:
    // The Excel export options and the application of the last export.
    excel::ExcelOp ExcelOp;
};

}  // namespace rz
