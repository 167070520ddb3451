#pragma once

#include "core/workbench/Workbench.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

// What the one-page test sheet of a specimen says, as texts ready to lay out: where the
// data came from, how it was read and analysed, the results as the window shows them,
// and notes on everything that was not found, each with why. The page itself (chart,
// tables, PDF) is drawn by chartview/TestSheetPdf.h; the window and the batch tool both
// build it from their Workbench.
namespace rz {

struct SheetEntry {
    QString label;
    QString value;
    friend bool operator==(const SheetEntry&, const SheetEntry&) = default;
};

// A row of the results table: yield load, yield displacement and ductility in the
// window's own texts ("--" where there is none) and a remark.
struct SheetResultRow {
    QString method;
    QString yieldLoad;
    QString yieldDisp;
    QString ductility;
    QString note;
    friend bool operator==(const SheetResultRow&, const SheetResultRow&) = default;
};

struct TestSheetContent {
    QString title;             // the data file's base name
    QString dataPath;          // its full path
    QString dataModified;      // its modification time, or why it is unknown
    QString analysisTime;      // when Calculate ran
    QString displacementUnit;  // empty when the import knows none
    QString loadUnit;
    std::vector<SheetEntry> import;                // how the curve was read
    std::vector<SheetEntry> factors;               // the three factor fields as typed
    std::vector<SheetEntry> characteristics;       // points, peak, ultimate, stiffness
    std::vector<SheetResultRow> methods;           // the three methods, then their mean
    std::vector<SheetResultRow> otherDefinitions;  // otherYieldMethods() order
    QStringList notes;                             // what was not found or did not run, and why
};

// Times on the sheet: "2019-03-08 10:30", read the same way in every country.
QString sheetTimeText(const QDateTime& time);

// The sheet of the workbench's curve and last Calculate. analysisTime: when that
// Calculate ran. calculateMessages: the warnings and errors it showed, in order; they
// explain a stiffness that could not be computed or a Calculate that stopped, and each
// becomes a note.
TestSheetContent testSheetContent(const Workbench& workbench, const QDateTime& analysisTime,
                                  const QStringList& calculateMessages = {});

// The sheet of a batch's specimen, analysed at analysisTime. Messages after the import's
// one are those of its Calculate.
struct SpecimenAnalysis;
TestSheetContent testSheetContent(const SpecimenAnalysis& specimen, const QDateTime& analysisTime);

// "<base name>_TestSheet.pdf", the name the sheet of a data file is saved under.
QString testSheetFileName(const QString& baseName);

}  // namespace rz
