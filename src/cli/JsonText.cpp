#include "cli/JsonText.h"

#include "core/text/NumberText.h"

#include <cmath>

namespace rz::cli {

QString jsonString(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        switch (c.unicode()) {
            case '"':
                out += QLatin1String("\\\"");
                break;
            case '\\':
                out += QLatin1String("\\\\");
                break;
            case '\n':
                out += QLatin1String("\\n");
                break;
            case '\r':
                out += QLatin1String("\\r");
                break;
            case '\t':
                out += QLatin1String("\\t");
                break;
            default:
                if (c.unicode() < 0x20)
                    out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
                else
                    out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString jsonNumber(double v)
{
    if (std::isnan(v))
        return QStringLiteral("\"NaN\"");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("\"Infinity\"") : QStringLiteral("\"-Infinity\"");
    return formatRoundTrip(v);
}

QString jsonBool(bool b)
{
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace rz::cli
