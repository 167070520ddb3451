#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <string>
#include <vector>

namespace rz::excel {

// Whether an XML part is whole: after its prolog, every start tag is closed in order, the
// root last, with nothing but blanks after it. The parts come from the writer itself, so
// the only question is whether one was cut short, at its end or in its middle (a row
// file of the constant-memory mode cut off on a full disk). The scan answers that at the
// speed of memchr, where a full XML parse of a 50 MB worksheet takes seconds, and takes
// the part piece by piece, so a large worksheet is never held whole.
class XmlPartCheck {
public:
    void feed(QByteArrayView piece);
    // After the last piece.
    bool whole() const;

private:
    // Takes the complete tags and texts at the start of text; returns how many bytes it
    // took (the rest waits for the next piece), or -1 when the part cannot be whole.
    qsizetype scan(QByteArrayView text);

    QByteArray carry_;               // an unfinished tag from the end of the last piece
    std::vector<std::string> open_;  // names of the open elements, the root first
    bool rootClosed_ = false;
    bool broken_ = false;
};

bool xmlPartIsWhole(QByteArrayView xml);

}  // namespace rz::excel
