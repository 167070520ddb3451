#pragma once

#include "core/import/CellRow.h"
#include "core/import/ImportOptions.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// The first part of a data file, which is all that detection and the preview look at: a
// 200 MB file is judged by its first mebibyte, so the dialog opens at once.
namespace rz {

enum class FileKind { Text, Workbook };

// Bounds of the head: bytes of a text file, and lines (or worksheet rows) looked at.
inline constexpr qint64 kHeadBytes = qint64(1) << 20;
inline constexpr int kHeadLines = 1000;

struct FileHead {
    QString path;
    FileKind kind = FileKind::Text;
    qint64 fileSize = 0;
    bool complete = false;  // the head holds the whole file (the whole worksheet)

    QByteArray bytes;  // text: the first bytes, at most kHeadBytes

    QStringList sheetNames;     // workbook: every worksheet, in the workbook's order
    QString sheet;              // workbook: the one read
    std::vector<CellRow> rows;  // workbook: its first rows, at most kHeadLines
};

// A zip archive (an .xlsx workbook) by its first bytes, or by its name's extension when
// the file is too short to tell.
bool isWorkbook(const QString& path, QByteArrayView firstBytes);

// Reads the head of a text file or the first rows of a workbook's sheet (the first one
// when sheet is empty). Throws FileReadError, or XlsxError for a damaged workbook.
FileHead readFileHead(const QString& path, const QString& sheet = {});

// Auto resolved from the bytes: a byte-order mark; else UTF-8 if the bytes are valid UTF-8
// (a character cut at the end does not count); else Latin-1.
// Utf16 is resolved to the byte order its mark gives, little-endian without one.
TextEncoding resolveEncoding(TextEncoding chosen, QByteArrayView bytes);

// The head decoded: byte-order mark dropped, text ended at a NUL character, and for an
// incomplete head the last line (perhaps cut) dropped. An odd byte at the end of UTF-16
// text reads as U+FFFD.
QString decodeHead(QByteArrayView bytes, TextEncoding encoding, bool complete);

// True when the bytes end inside a character of the encoding (half a UTF-16 code unit, the
// start of a UTF-8 sequence), which a decoder keeps waiting for and would otherwise drop.
bool endsInsideCharacter(QByteArrayView bytes, TextEncoding resolved);

// The lines of decoded head text (CR LF, LF, CR), at most kHeadLines.
std::vector<QStringView> headLines(QStringView text);

}  // namespace rz
