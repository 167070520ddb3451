#pragma once

#include "core/batch/SummaryTable.h"
#include "core/cyclic/CyclicOptions.h"
#include "core/import/ImportOptions.h"
#include "core/import/ImportResult.h"
#include "core/workbench/Workbench.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Many specimens analysed as the window analyses one: each file gets a model of its own,
// is imported, gets the factor texts and one Calculate. The files run on worker threads;
// what comes back is in the order the files were given, so every output built from it is
// the same whatever the number of threads.
namespace rz {

// How every file of a batch is read and analysed: what the window's user chose.
struct BatchSettings {
    std::optional<ImportOptions> import;  // none: the plain "Import Load-Displacement Data"
    QString loadReduction;                // the three factor fields' texts, as typed
    QString secant;                       //   (defaults: the window's construction defaults)
    QString park;
    QChar decimalSeparator = u'.';
    QString programFolder;  // as Workbench's constructor takes it
};

// The window's default factor texts (the fields as a new window shows them) with sep.
BatchSettings defaultBatchSettings(QChar decimalSeparator = u'.');

struct BatchMessage {
    MessageLevel level;
    QString text;
};

// One file analysed exactly as the window does it: import (plain or with options), the
// three fields set, Calculate.
struct SpecimenAnalysis {
    QString path;
    QString name;                          // how summaries, legends and curves name it (specimenNames)
    std::vector<BatchMessage> messages;    // every message, in order
    bool imported = false;                 // the curve was stored
    bool calculated = false;               // Calculate ran to its end
    QString failure;                       // why the row has no results (empty when it has)
    std::unique_ptr<Workbench> workbench;  // the finished model (state, chart, fields, others)
    QDateTime analysedAt;                  // when its Calculate ran, in UTC (invalid when none did)
    // What the import with options read (its points moved into the curve); none after
    // the plain import.
    std::optional<ImportResult> importResult;
};

SpecimenAnalysis analyseSpecimen(const QString& path, const BatchSettings& settings);

// The names of a batch's specimens, one per path: its file name, unless another file of
// the batch has that name; then as many of its last folders as tell it from the others
// ("specA/coupon.csv", "specB/coupon.csv"). A path given twice names one file, not a tie.
QStringList specimenNames(const QStringList& paths);
// What files written for a specimen of that name start with: its name without the
// extension, its folders joined by '_' ("specA/data.csv": "specA_data").
QString specimenFileStem(const QString& name);
// The specimen's name, or its file name when it has none.
QString specimenName(const SpecimenAnalysis& specimen);

// Called on the calling thread between files (done of total); returning false cancels:
// files not started are not analysed and the call returns what finished, in order, with
// `cancelled` set.
using BatchProgress = std::function<bool(int done, int total)>;

struct BatchResult {
    std::vector<SpecimenAnalysis> specimens;  // in the order of the paths given
    bool cancelled = false;
};

// Every path on `jobs` worker threads (a thread pool of its own; jobs <= 0: the number of
// cores); results in the order given, whatever order they finish in, named by
// specimenNames(paths).
BatchResult analyseAll(const QStringList& paths, const BatchSettings& settings, int jobs,
                       const BatchProgress& progress = {});

// The same, handing each result to `consume` on the calling thread in the order given, as
// soon as it and every one before it are done (when it has to wait, it waits for a few at
// once, about 2 x jobs); at most about 4 x jobs results are held at once, so a batch of any
// size runs in bounded memory. consume returning false cancels like
// progress. Returns whether every path was analysed and consumed.
using BatchConsumer = std::function<bool(SpecimenAnalysis&& specimen, int index)>;
bool analyseInOrder(const QStringList& paths, const BatchSettings& settings, int jobs, const BatchConsumer& consume,
                    const BatchProgress& progress = {});

// The columns of a summary: file, direction (empty for a monotonic curve, "positive" or
// "negative" for a cyclic record's envelope), points, peak load and its displacement, ultimate
// displacement, initial stiffness, for each of the three methods and their mean and for each
// of otherYieldMethods() the yield load, yield displacement and ductility; the flags
// ultimate found, stiffness found; notes (text).
std::vector<SummaryColumn> summaryColumns();
// One row per specimen and direction (a failed file: its name and its failure in notes,
// the rest empty).
SummaryTable summaryOf(const std::vector<SpecimenAnalysis>& specimens);
// One specimen's rows, in summaryColumns() order (for tables built a file at a time): one
// for a monotonic curve, one per loading direction (positive, then negative) for a cyclic
// record, each the analysis of that direction's envelope.
std::vector<std::vector<SummaryCell>> summaryRowsOf(const SpecimenAnalysis& specimen);
// The loading direction of each of summaryRowsOf(specimen): none for a monotonic curve
// (or a file that failed), positive then negative for a cyclic record.
std::vector<std::optional<Direction>> summaryRowDirections(const SpecimenAnalysis& specimen);
// The first of them.
std::vector<SummaryCell> summaryRowOf(const SpecimenAnalysis& specimen);

// What a FILE argument means in the batch tool: a file; a folder (its *.csv, *.txt, *.dat,
// *.xlsx, sorted by name, subfolders only when recursive); "-": the paths on `standardInput`,
// one per line. Throws std::runtime_error with a one-line message for a missing path or a
// folder that cannot be read (rather than leave its files out unsaid).
QStringList expandBatchArguments(const QStringList& arguments, bool recursive, QTextStream* standardInput);
// What to tell the user of a folder in which expandBatchArguments finds no file (no full stop).
QString noDataFilesText(const QString& folder, bool recursive);

// The paths a list holds, one per line: a CR before the line break and blank lines left out.
QStringList listedPaths(QTextStream& list);

}  // namespace rz
