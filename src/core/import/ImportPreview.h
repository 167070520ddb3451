#pragma once

#include "core/chart/Series.h"
#include "core/import/Detect.h"
#include "core/import/FileHead.h"
#include "core/import/ImportOptions.h"

#include <QString>
#include <QStringList>

#include <vector>

// What the import dialog shows before anything is imported: the first lines of the file,
// the table as it will be read, and the curve those lines give. Works on the head only, so
// it is quick whatever the file's size and can run again on every change of an option.
namespace rz {

enum class LineRole {
    Skipped,  // before the data, neither header nor units
    Header,
    Units,
    Data,   // gives a point
    End,    // ends the data (not read)
    After,  // after the end (not read)
};

struct PreviewLine {
    QString text;       // the line as decoded (a worksheet row: its cells joined by tabs)
    QStringList cells;  // the line split as the reader splits it
    LineRole role = LineRole::Skipped;
};

struct ImportPreview {
    Detection detection;             // the options resolved from the head
    std::vector<PreviewLine> lines;  // the first lines of the file, at most maxLines
    // The points the head's data lines give, as they would be imported (scale, sign and
    // origin applied, file order); empty when the options cannot be used.
    std::vector<Point> points;
    int displacementColumn = 0;  // from 0, -1 without detection
    int loadColumn = 0;
    QString displacementUnit;  // of the points, after scale: as ImportResult has them
    QString loadUnit;
    QString message;  // as the import would report these lines (the head only)
    // Detection's notes, then what the head's points say (a curve recorded below zero), as
    // the import would add them.
    QStringList notes;
    QString error;  // not empty: the options read nothing from the head, and why
};

ImportPreview previewImport(const FileHead& head, const ImportOptions& options, int maxLines = 200);

}  // namespace rz
