// Whole data files through the reader: decoding, line and field splitting, the curve.
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
    return 0;
}
