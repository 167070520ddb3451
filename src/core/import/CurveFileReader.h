#pragma once

#include "core/import/DataFileReader.h"

#include <QByteArrayView>
#include <QChar>
#include <QString>

// The plain import, read straight from the file's bytes: the same points (to the bit), line
// count and bad line as readCurve(decodeText(readWholeFile(path))), without decoding the
// text to UTF-16 and without holding the file whole. The text is cut into parts at line
// starts, one part per core, read side by side in pieces of a mebibyte; their points are
// joined in file order, and the first bad line of the first part that has one ends the
// data, as it does for the serial reader. Memory: the points, reserved for the most the
// text can hold (address space only: pages are taken as points are written), plus one part's
// points while they are joined and one piece per part.
namespace rz {

// How the bytes are read; the result never depends on it. Tests shrink these to put piece
// and part boundaries anywhere.
struct CurveReading {
    int parts = 0;                          // at most this many parts; 0: one per core
    qint64 minPartBytes = qint64(2) << 20;  // no part is smaller than this
    qint64 pieceBytes = qint64(1) << 20;    // read at once; more while a line is longer
};

// Whether the bytes can stand for the text, for a file that starts with `head` (its first
// six bytes, or all of a shorter file): a UTF-8 file with its byte-order mark, or without
// one where the 8-bit encoding is UTF-8 (every system but Windows), and an ASCII decimal
// separator. The UTF-8 decoder keeps every ASCII byte as it is and turns any run of other
// bytes into at least one character that is not ASCII; since every character that splits
// lines or fields, a digit, a sign, an exponent mark or the separator is ASCII, such a run
// acts as any other character of a field that is then not a number, whatever it decodes
// to. UTF-16 files, Windows code pages (whose two-byte characters may end in an ASCII
// byte) and a separator beyond ASCII go through decodeText and readCurve.
bool readsAsBytes(QByteArrayView head, QChar decimalSeparator);

// readCurve(decodeText(bytes), decimalSeparator).
CurveReadResult readCurveBytes(QByteArrayView bytes, QChar decimalSeparator, const CurveReading& how = {});

// readCurve(decodeText(readWholeFile(path)), decimalSeparator); throws FileReadError as
// readWholeFile does.
CurveReadResult readCurveFile(const QString& path, QChar decimalSeparator, const CurveReading& how = {});

}  // namespace rz
