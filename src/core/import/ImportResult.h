#pragma once

#include "core/chart/Series.h"
#include "core/import/CellRow.h"
#include "core/import/Detect.h"
#include "core/import/FileHead.h"
#include "core/import/ImportOptions.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// What reading a file with options gives: the points, the options as used, what the file
// says about its columns, where the data started and why it stopped.
namespace rz {

enum class StopReason {
    EndOfFile,      // the data ran to the end of the file (blank lines after it aside)
    BlankLine,      // a blank line with more text after it
    NotANumber,     // a chosen column holds text, or nothing
    MissingColumn,  // the line has fewer columns than the chosen ones
    Date,           // a worksheet cell in a date format
};

// Called while a file is read with the bytes done and the total; returning false cancels.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

struct ImportResult {
    // In the file's order, after scale, sign and origin. The caller stores them sorted
    // (Series::assignStableSorted) unless used.order is PointOrder::FileOrder.
    std::vector<Point> points;
    ImportOptions used;  // resolved options (Detection::options)
    FileKind kind = FileKind::Text;
    QStringList columnNames;  // the header's cells; empty without a header
    QStringList columnUnits;  // per column, empty where unknown
    QString displacementName;
    QString loadName;
    // The units of the points: a preset's unit, the column's unit when read as is, and
    // empty when unknown (or after a free factor).
    QString displacementUnit;
    QString loadUnit;

    // Lines (rows of a worksheet) counted from 1, as an editor shows them.
    qint64 firstDataLine = 0;
    qint64 stopLine = 0;  // the line that ended the data; 0 when the file did
    StopReason stopReason = StopReason::EndOfFile;
    int stopColumn = 0;  // from 1: the column that was not a number, or was missing
    QString stopText;    // that cell's text (shortened)

    QString message;  // how many lines were read and why it stopped, naming the line
    QString error;    // not empty: nothing was imported, and why
    QStringList notes;

    bool ok() const { return error.isEmpty(); }
};

// The batch tool's "import" object: options used, columns, units, where the data started
// and stopped.
QJsonObject importToJson(const ImportResult& result);
// What detection found, for the batch tool's --detect: the options, columns, units, notes,
// and "failure" when no data were found.
QJsonObject detectionToJson(const Detection& detection);

// --- For the readers ---

// The block of data lines as a reader found it, before scale, sign and origin. Lines here
// count from 0.
struct RawBlock {
    std::vector<Point> points;
    qint64 firstLine = 0;
    qint64 stopLine = -1;  // -1: the file ended
    StopReason reason = StopReason::EndOfFile;
    int stopColumn = -1;  // from 0
    QString stopText;
    bool cancelled = false;
};

// Reads rows of cells as the data block: skipped rows, then points until a row that is
// not numbers in the chosen columns, or a blank row followed by more. Worksheets and the
// preview go through it; text files through the faster TextBlockReader.
class CellBlockCollector {
public:
    explicit CellBlockCollector(const ImportOptions& resolved);
    // False once the block has ended: no more rows are needed.
    bool feed(const CellRow& row);
    // The block; when the rows ended without ending it, the file ended it.
    RawBlock finish();

private:
    qint64 skip_;
    int displacement_;
    int load_;
    QChar decimal_;
    qint64 index_ = 0;
    qint64 pendingBlank_ = -1;
    bool ended_ = false;
    RawBlock block_;
};

// The result for a block: the options and column facts from detection, scale, sign and
// origin applied in that order (checked: an overflow imports nothing), the message.
ImportResult finishImport(RawBlock block, const Detection& detection, FileKind kind);

// "column 2" in a text file, "column B" in a worksheet; from 0.
QString columnLabel(int column, FileKind kind);

}  // namespace rz
