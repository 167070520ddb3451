#include "core/io/PdfDate.h"

#include <QByteArrayView>

#include <optional>

namespace rz {

namespace {

bool digits(QByteArrayView text)
{
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.isEmpty();
}

// The offset from UTC a PDF date's zone stands for, in seconds: "Z", "+01'00'", "-05'30'".
std::optional<int> zoneOffset(QByteArrayView zone)
{
    if (zone == "Z")
        return 0;
    if (zone.size() != 7 || (zone[0] != '+' && zone[0] != '-') || zone[3] != '\'' || zone[6] != '\'' ||
        !digits(zone.sliced(1, 2)) || !digits(zone.sliced(4, 2)))
        return std::nullopt;
    const int seconds = zone.sliced(1, 2).toInt() * 3600 + zone.sliced(4, 2).toInt() * 60;
    return zone[0] == '-' ? -seconds : seconds;
}

}  // namespace

bool stampPdfCreationDate(QByteArray& pdf, const QDateTime& when)
{
    static constexpr QByteArrayView kKey = "/CreationDate (D:";
    const qsizetype start = pdf.indexOf(kKey);
    if (start < 0 || !when.isValid())
        return false;
    const qsizetype date = start + kKey.size();
    const qsizetype end = pdf.indexOf(')', date);
    if (end < date + 14 || !digits(QByteArrayView(pdf).sliced(date, 14)))
        return false;
    const std::optional<int> offset = zoneOffset(QByteArrayView(pdf).sliced(date + 14, end - date - 14));
    if (!offset)
        return false;
    const QByteArray stamp = when.toOffsetFromUtc(*offset).toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    if (stamp.size() != 14 || !digits(stamp))
        return false;
    pdf.replace(date, 14, stamp);
    return true;
}

}  // namespace rz
