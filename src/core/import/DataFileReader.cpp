#include "core/import/DataFileReader.h"

#include "core/text/NumberText.h"

#include <algorithm>
#include <optional>

namespace rz {
namespace {

QString decodeUtf16(const QByteArray& bytes, bool bigEndian)
{
    const qsizetype byteCount = bytes.size() - 2;
    const qsizetype units = byteCount / 2;
    const bool danglingByte = byteCount % 2 != 0;
    QString text(units + (danglingByte ? 1 : 0), Qt::Uninitialized);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData()) + 2;
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < units; ++i, in += 2) {
        const unsigned hi = bigEndian ? in[0] : in[1];
        const unsigned lo = bigEndian ? in[1] : in[0];
        out[i] = static_cast<char16_t>(hi << 8 | lo);
    }
    // Half a code unit at the end cannot be decoded; show that something was there.
    if (danglingByte)
        out[units] = u'\uFFFD';
    return text;
}

QString decodeLocal8Bit(const QByteArray& bytes)
{
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(bytes);
#else
    // Qt takes the 8-bit encoding of Unix systems to be UTF-8 whatever the locale says;
    // its direct UTF-8 decoder gives the same text at twice the speed.
    return QString::fromUtf8(bytes);
#endif
}

bool isControlOrBlank(char16_t c)
{
    return c >= 1 && c <= 32;
}

// One field of a line: [begin, end) holds its text, quotes removed; a doubled quote
// inside a quoted field is still doubled there (escaped == true).
struct FieldSpan {
    const char16_t* begin = nullptr;
    const char16_t* end = nullptr;
    bool escaped = false;
};

// Walks the fields of one line. Both splitFields and the curve reader's fast path use it,
// so they cannot disagree on where a field starts or ends. A NUL ends the line.
class FieldScanner {
public:
    explicit FieldScanner(QStringView line)
        : p_(line.utf16()), end_(line.utf16() + line.size())
    {
        skipBlanks();
    }

    bool next(FieldSpan& field)
    {
        if (trailingEmpty_) {
            trailingEmpty_ = false;
            field = {p_, p_, false};
            return true;
        }
        if (atEnd())
            return false;
        field.escaped = false;
        if (*p_ == u'"') {
            ++p_;
            field.begin = p_;
            while (!atEnd()) {
                if (*p_ == u'"') {
                    if (p_ + 1 != end_ && p_[1] == u'"') {
                        field.escaped = true;
                        p_ += 2;
                        continue;
                    }
                    break;
                }
                ++p_;
            }
            field.end = p_;
            if (!atEnd())
                ++p_;  // the closing quote
        } else {
            field.begin = p_;
            while (p_ != end_ && *p_ > 32 && *p_ != u',')
                ++p_;
            field.end = p_;
        }
        skipBlanks();
        if (p_ != end_ && *p_ == u',') {
            ++p_;
            if (atEnd())
                trailingEmpty_ = true;
            skipBlanks();
        }
        return true;
    }

private:
    bool atEnd() const { return p_ == end_ || *p_ == 0; }
    void skipBlanks()
    {
        while (p_ != end_ && isControlOrBlank(*p_))
            ++p_;
    }

    const char16_t* p_;
    const char16_t* end_;
    bool trailingEmpty_ = false;
};

QString fieldText(const FieldSpan& field)
{
    QString text = QStringView(field.begin, field.end).toString();
    if (field.escaped)
        text.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return text;
}

// Where the line starting at p ends, and where the next one starts.
struct LineEnd {
    const char16_t* end;
    const char16_t* next;
};

LineEnd findLineEnd(const char16_t* p, const char16_t* end)
{
    while (p != end && *p != u'\n' && *p != u'\r')
        ++p;
    if (p == end)
        return {end, end};
    if (*p == u'\r' && p + 1 != end && p[1] == u'\n')
        return {p, p + 2};
    return {p, p + 1};
}

std::optional<double> fieldNumber(const FieldSpan& field, QChar decimalSeparator)
{
    // A doubled quote leaves a quote in the field, and no number holds one.
    if (field.escaped)
        return std::nullopt;
    return parseDecimal(QStringView(field.begin, field.end), decimalSeparator);
}

std::optional<Point> linePoint(QStringView line, QChar decimalSeparator)
{
    FieldScanner scanner(line);
    FieldSpan first;
    FieldSpan second;
    if (!scanner.next(first))
        return std::nullopt;
    const auto x = fieldNumber(first, decimalSeparator);
    if (!x || !scanner.next(second))
        return std::nullopt;
    const auto y = fieldNumber(second, decimalSeparator);
    if (!y)
        return std::nullopt;
    return Point{*x, *y};
}

}  // namespace

QString decodeText(const QByteArray& bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    QString text;
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        text = QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    else if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        text = decodeUtf16(bytes, false);
    else if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        text = decodeUtf16(bytes, true);
    else
        text = decodeLocal8Bit(bytes);
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

std::vector<QStringView> splitLines(QStringView text)
{
    std::vector<QStringView> lines;
    const char16_t* p = text.utf16();
    const char16_t* end = p + text.size();
    while (p != end) {
        const LineEnd line = findLineEnd(p, end);
        lines.emplace_back(p, line.end);
        p = line.next;
    }
    return lines;
}

std::int64_t countLines(QStringView text)
{
    std::int64_t count = 0;
    const char16_t* p = text.utf16();
    const char16_t* end = p + text.size();
    while (p != end) {
        p = findLineEnd(p, end).next;
        ++count;
    }
    return count;
}

QStringList splitFields(QStringView line)
{
    QStringList fields;
    FieldScanner scanner(line);
    FieldSpan field;
    while (scanner.next(field))
        fields.append(fieldText(field));
    return fields;
}

CurveReadResult readCurve(QStringView text, QChar decimalSeparator)
{
    CurveReadResult result;
    const char16_t* p = text.utf16();
    const char16_t* end = p + text.size();
    std::int64_t index = 0;
    while (p != end) {
        const LineEnd line = findLineEnd(p, end);
        if (index > 0 && result.badLine < 0) {
            if (const auto point = linePoint(QStringView(p, line.end), decimalSeparator))
                result.points.push_back(*point);
            else
                result.badLine = index;
        }
        p = line.next;
        ++index;
    }
    result.lineCount = index;
    return result;
}

}  // namespace rz
