#pragma once

#include <QDateTime>
#include <QString>

// What the desktop does with the workbooks "Export Excel" writes: they are temporary
// copies in the program's cache folder, opened in the user's spreadsheet program, who
// saves them where they keep their work (as the workbook the export once left open and
// unsaved in the spreadsheet program).
namespace rz::excel {

// Whether a written workbook can be opened on this desktop, and if not, what is missing.
enum class SpreadsheetOpener {
    Ready,          // the desktop has a program for .xlsx files and a way to start it
    NoOpenCommand,  // xdg-open (package xdg-utils) is not installed
    NoXlsxProgram,  // nothing is registered for .xlsx files
    OpenFailed,     // the desktop refused to start the registered program
};

// On Linux asks xdg-utils: xdg-open must be on PATH, and "xdg-mime query default" must
// name a program for .xlsx files (opening would otherwise silently do nothing).
// Elsewhere the desktop always has a way.
SpreadsheetOpener findSpreadsheetOpener();

// The notice shown when the workbook at path was written but not opened: where it is,
// that it is a temporary copy, and what is missing.
QString workbookNotOpenedMessage(const QString& path, SpreadsheetOpener why);

// The cache folder keeps the last kKeptWorkbooks BookN.xlsx files or those of the last
// kKeptDays days, whichever are more, and no temporary file of a write older than a day.
constexpr int kKeptWorkbooks = 20;
constexpr int kKeptDays = 14;

// Removes the rest from folder (by modification time, newest kept); run at start-up.
// Returns how many files it removed; a file that cannot be removed is left alone.
int pruneWorkbookFolder(const QString& folder, const QDateTime& now);

}  // namespace rz::excel
