#pragma once

#include "core/chart/ChartModel.h"
#include "core/import/ImportOptions.h"
#include "core/import/ImportResult.h"
#include "core/workbench/AnalysisState.h"
#include "core/workbench/ImportedCurve.h"
#include "core/workbench/OtherDefinitions.h"

#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The main window's behaviour without the window: what each handler does to the
// state, the nine series and the field texts, which messages it shows and where it
// stops. The desktop window forwards its events here and redraws from it; the batch
// tool replays it; the tests drive it directly.
namespace rz {

struct MethodOutcome;
class CyclicSession;
enum class CyclicView;

// The main window's edit fields. edt1, edt12 and edt17 are typed into by the user;
// the others are read-only and written by the program.
enum class Field : int {
    edt1 = 0, edt2, edt3, edt4, edt5, edt6, edt7, edt8, edt9, edt10,
    edt11, edt12, edt13, edt14, edt15, edt16, edt17, edt18, edt19,
};
constexpr int kFieldCount = 19;
const char* fieldName(Field f);

enum class MessageLevel {
    Information,  // the program's own notices and refusals
    Warning,      // the text of a caught error
    Error,        // an error no handler caught (the application's error box)
};
// "information", "warning" or "error": how the batch tool's tables and JSON name a level.
const char* messageLevelName(MessageLevel level);

// How the model talks to the user.
class UserInterface {
public:
    virtual ~UserInterface() = default;
    virtual void showMessage(MessageLevel level, const QString& text) = 0;
    virtual void focusField(Field field) = 0;
};

class Workbench {
public:
    // programFolder: the folder of the executable, with its trailing separator.
    Workbench(UserInterface& ui, QChar decimalSeparator, const QString& programFolder);
    // Virtual: a batch keeps each file's model together with the interface it talks to.
    virtual ~Workbench();
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;

    // --- handlers -------------------------------------------------------------------
    // The import after the user confirmed path in the open dialog.
    void importConfirmed(const QString& path);
    // "Import with Options…" after its dialog was confirmed (WorkbenchImportOptions.cpp):
    // reads path with options, detecting what they leave on Auto; progress may cancel.
    // The file is read first: only a successful read resets the window and stores the
    // curve, so an error, a cancel or a file that cannot be opened shows a message and
    // leaves the earlier curve, results and dialog folders as they were. Returns what was
    // read, without its points (moved into the curve); on failure its error says why.
    ImportResult importWithOptionsConfirmed(const QString& path, const ImportOptions& options,
                                            const ImportProgress& progress = {});
    // With options.cyclic set, the file is a cyclic record (WorkbenchCyclic.cpp): read in
    // file order, both envelopes extracted, each analysed by its own hidden Workbench
    // (CyclicSession.h); this one then shows the direction chosen by setCyclicView. The
    // record and both envelopes become overlays behind the curve. Any other import ends
    // the cyclic analysis and removes them.
    // "Calculate". On a cyclic record: Calculate on each direction's envelope with this
    // window's three factor texts; messages as CyclicSession::calculate merges them.
    void btn1Click();
    // The radio buttons rb1..rb4 (1..4), run when a button becomes selected.
    void displayMethodSelected(int method);

    void ResetAnalysis();
    void UpdateSeriesVisibility();

    // --- outputs' dialog bookkeeping -----------------------------------------------
    // The report's save dialog was confirmed with path: its folder becomes every
    // dialog's starting folder.
    void reportPathChosen(const QString& path);
    // The picture dialog was confirmed: import and report dialogs move there.
    void picturePathChosen(const QString& path);
    // "Export Results" after the save dialog was confirmed: moves the dialogs' folders,
    // then writes the report; a failure is shown as a warning and loses nothing.
    void exportReportTo(const QString& path, const QDateTime& now);
    // The report as it would be written now.
    QByteArray reportNow(const QDateTime& now) const;
    // Dates and times of the report follow this locale (the user's by default).
    void setLocale(const QLocale& locale) { locale_ = locale; }

    // --- state -----------------------------------------------------------------------
    const AnalysisState& state() const { return state_; }
    const ChartModel& chart() const { return chart_; }
    QString fieldText(Field f) const { return fields_[static_cast<std::size_t>(f)]; }
    // What the user typed into an editable field.
    void setFieldText(Field f, const QString& text) { fields_[static_cast<std::size_t>(f)] = text; }
    QChar decimalSeparator() const { return sep_; }

    QString openDialogFolder() const { return openFolder_; }
    QString reportDialogFolder() const { return reportFolder_; }
    QString pictureDialogFolder() const { return pictureFolder_; }

    // Whether the last "Calculate" ran to its end.
    bool lastCalculationCompleted() const { return calculationCompleted_; }
    // Number of lines of the last import's file, -1 when it could not be read. After an
    // import with options: the lines up to the one that ended the data (the rest is not read).
    std::int64_t lastImportLineCount() const { return lastLineCount_; }
    // How the curve was read: options, units, file order (empty after the plain import).
    const ImportedCurve& importedCurve() const { return imported_; }
    AxisTitles axisTitles() const { return rz::axisTitles(imported_); }

    // --- the yield definitions of the standards (OtherDefinitions.h) -----------------
    // One result per otherYieldMethods() row from the last Calculate that ran to its end;
    // empty after an import and after a Calculate that stopped early, so nothing stale
    // is ever shown.
    const std::vector<YieldDefinitionResult>& otherDefinitions() const { return others_.results(); }
    // Draws or hides a definition's construction and yield point (hidden at start).
    void setOtherDefinitionShown(int method, bool shown) { OtherDefinitions::setShown(method, shown, chart_); }
    bool otherDefinitionShown(int method) const { return OtherDefinitions::isShown(method, chart_); }

    // --- a cyclic record (WorkbenchCyclic.cpp) ---------------------------------------
    // Null unless the last import was a cyclic one.
    const CyclicSession* cyclic() const { return cyclic_.get(); }
    // Which direction the fields, the state, the nine series and the other definitions
    // show: a direction's own analysis (the negative one as analysed, on the mirrored
    // envelope: ChartModel::seriesMirrored draws it back), or the mean of both, with the
    // negative direction's constructions as overlays beside the positive ones.
    void setCyclicView(CyclicView view);
    CyclicView cyclicView() const { return view_; }

    // The end of a successful import: the earlier curve and results are given up and
    // points become the curve of path. Shows nothing; the caller says what was read.
    void storeCurve(const QString& path, std::vector<Point> points, ImportedCurve imported, std::int64_t lineCount);

private:
    void importFile(const QString& path);
    ImportResult importWithOptions(const QString& path, const ImportOptions& options, const ImportProgress& progress);
    // Reads path; false (after saying why) when nothing is to be stored.
    bool readOrRefuse(const QString& path, const ImportOptions& options, const ImportProgress& progress,
                      ImportResult& read);
    // The rest of a cyclic import, once the samples (imported.fileOrder) are read.
    void startCyclic(const QString& path, ImportedCurve imported, std::int64_t lineCount, const CyclicOptions& options,
                     QString message);
    void addCyclicOverlays();
    // What every successful import does before it stores its curve: the analysis reset,
    // the file's names, line count and import kept, the dialogs moved to its folder.
    void resetForImportedFile(const QString& path, ImportedCurve imported, std::int64_t lineCount);
    // storeCurve without the peak and the largest displacement.
    void storeCurvePoints(const QString& path, std::vector<Point> points, ImportedCurve imported,
                          std::int64_t lineCount);
    void leaveCyclic();
    void calculateCyclic();
    void showCyclicView();
    void showCyclicAverage();
    // Steps after the points are stored: the peak and the largest displacement, their
    // fields and the peak marker.
    // The peak and the largest displacement of the stored curve, from `stored` when it is
    // the scan of the same points in the same order.
    void derivePeakAndMax(const PointScan* stored = nullptr);
    void calculate();
    // Reads a factor field; false when the click must end (conversion failed).
    bool readFactor(Field field, double& target);
    void applyMethod(const MethodOutcome& o, SeriesId line, SeriesId point, YieldResult& result,
                     Field loadField, Field dispField, Field ductilityField);
    void CalcGeometricMethod();
    void CalcParkMethod();
    void CalcEnergyMethod();
    Series& series(SeriesId id) { return chart_[id].data; }
    void setField(Field f, const QString& text) { fields_[static_cast<std::size_t>(f)] = text; }
    void reportUncaught(const std::exception& e);

    UserInterface& ui_;
    QChar sep_;
    AnalysisState state_;
    ChartModel chart_;
    std::array<QString, kFieldCount> fields_;
    QString openFolder_;
    QString reportFolder_;
    QString pictureFolder_;
    std::int64_t lastLineCount_ = -1;
    ImportedCurve imported_;
    bool calculationCompleted_ = false;
    QLocale locale_ = QLocale::system();
    OtherDefinitions others_;
    std::unique_ptr<CyclicSession> cyclic_;
    CyclicView view_{};
};

QString folderOf(const QString& path);
QString baseNameOf(const QString& path);

}  // namespace rz
