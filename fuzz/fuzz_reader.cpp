// Whole data files through the reader: decoding, line and field splitting, the curve; and
// the byte reader, in parts and pieces of every size, against the reader of decoded text.
#include "core/import/CurveFileReader.h"
#include "core/import/DataFileReader.h"
#include "core/text/NumberText.h"

#include <QByteArray>
#include <QString>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool isSeparating(char16_t c)
{
    return c <= 32 || c == u',';
}

void checkFields(QStringView line)
{
    const QStringList fields = rz::splitFields(line);
    qsizetype total = 0;
    for (const QString& field : fields)
        total += field.size();
    require(total <= line.size(), "fields hold more text than the line");
    if (line.contains(u'"'))
        return;
    // Without quotes a field is a run of characters that do not separate.
    for (const QString& field : fields)
        for (QChar c : field)
            require(!isSeparating(c.unicode()), "unquoted field holds a separator");
    qsizetype ink = 0;
    for (QChar c : line)
        ink += isSeparating(c.unicode()) ? 0 : 1;
    require(total == ink, "unquoted fields lose or invent characters");
}

// The curve read line by line through splitFields and parseDecimal: the fast reader
// must give exactly this.
void checkCurve(QStringView text, const std::vector<QStringView>& lines, QChar separator)
{
    const rz::CurveReadResult read = rz::readCurve(text, separator);
    const auto n = static_cast<std::int64_t>(lines.size());
    require(read.lineCount == n, "line count differs from splitLines");
    require(read.badLine == -1 || (read.badLine >= 1 && read.badLine < n), "bad line out of range");
    const std::int64_t expectedPoints = read.badLine >= 0 ? read.badLine - 1 : std::max<std::int64_t>(n - 1, 0);
    require(static_cast<std::int64_t>(read.points.size()) == expectedPoints, "point count inconsistent with the bad line");

    std::int64_t bad = -1;
    std::size_t k = 0;
    for (std::int64_t i = 1; i < n; ++i) {
        const QStringList fields = rz::splitFields(lines[static_cast<std::size_t>(i)]);
        const auto x = fields.size() >= 1 ? rz::parseDecimal(fields[0], separator) : std::nullopt;
        const auto y = fields.size() >= 2 ? rz::parseDecimal(fields[1], separator) : std::nullopt;
        if (!x || !y) {
            bad = i;
            break;
        }
        require(std::isfinite(*x) && std::isfinite(*y), "a point is not finite");
        require(k < read.points.size(), "reader stored fewer points than the lines give");
        require(sameBits(read.points[k].x, *x) && sameBits(read.points[k].y, *y), "reader and field splitting disagree on a point");
        ++k;
    }
    require(bad == read.badLine, "reader and field splitting disagree on the bad line");
}

// The byte reader must give exactly what the reader of the decoded text gives, however the
// bytes are cut into parts and pieces.
void checkBytes(const QByteArray& bytes, QStringView text, QChar separator)
{
    const rz::CurveReadResult expected = rz::readCurve(text, separator);
    // The first bytes choose the cuts, so the fuzzer can steer them too.
    const int parts = bytes.isEmpty() ? 2 : 1 + static_cast<unsigned char>(bytes.front()) % 4;
    const qint64 piece = bytes.size() < 2 ? 3 : 1 + static_cast<unsigned char>(bytes[1]) % 16;
    for (const rz::CurveReading& how : {rz::CurveReading{}, rz::CurveReading{parts, 1, piece}}) {
        const rz::CurveReadResult read = rz::readCurveBytes(bytes, separator, how);
        require(read.lineCount == expected.lineCount, "byte reader and text reader disagree on the line count");
        require(read.badLine == expected.badLine, "byte reader and text reader disagree on the bad line");
        require(read.points.size() == expected.points.size(), "byte reader and text reader disagree on the points");
        for (std::size_t i = 0; i < read.points.size(); ++i)
            require(sameBits(read.points[i].x, expected.points[i].x) && sameBits(read.points[i].y, expected.points[i].y),
                    "byte reader and text reader disagree on a point");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = rz::decodeText(bytes);
    require(!text.contains(QChar(u'\0')), "decoded text holds a NUL");

    const std::vector<QStringView> lines = rz::splitLines(text);
    require(rz::countLines(text) == static_cast<std::int64_t>(lines.size()), "countLines differs from splitLines");
    qsizetype covered = 0;
    for (QStringView line : lines) {
        require(!line.contains(u'\n') && !line.contains(u'\r'), "a line holds a line break");
        covered += line.size();
    }
    require(covered <= text.size(), "lines hold more text than the file");

    for (QStringView line : lines)
        checkFields(line);
    checkCurve(text, lines, u'.');
    checkCurve(text, lines, u',');
    checkBytes(bytes, text, u'.');
    checkBytes(bytes, text, u',');
    return 0;
}
