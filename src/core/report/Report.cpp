#include "core/report/Report.h"

#include "core/text/NumberText.h"


namespace rz {

namespace {
// The locale's long time format without its time zone ("t", before or after the time,
// sometimes in brackets); quoted literals such as 'h' or 'min' are kept as they are.
QString longTimeFormatWithoutZone(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    out.replace(QLatin1String("()"), QString());
    while (out.contains(QLatin1String("  ")))
        out.replace(QLatin1String("  "), QLatin1String(" "));
    return out.trimmed();
}
}  // namespace

QString csvField(const QString& field)
{
    const bool needsQuotes = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                             field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'));
    if (!needsQuotes)
        return field;
    QString quoted = field;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString reportTimeText(const QDateTime& now, const QLocale& locale)
{
    const QString date = locale.toString(now.date(), QLocale::ShortFormat);
    if (now.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + locale.toString(now.time(), longTimeFormatWithoutZone(locale));
}

QStringList reportLines(const AnalysisState& s, QChar sep, const QString& timeText)
{
    // The label's own blank after the comma belongs to the value's field.
    auto num = [sep](double v) { return csvField(formatGeneral(v, sep)); };
    auto spaced = [sep](double v) { return csvField(QLatin1Char(' ') + formatGeneral(v, sep)); };
    QStringList l;
    l << QStringLiteral("Report Time:,") + csvField(timeText);
    l << QStringLiteral("Source Data:,") + csvField(s.SourceDataPath);
    l << QString();
    l << QStringLiteral("PeakLoad:,") + num(s.PeakLoad);
    l << QStringLiteral("PeakDisp:,") + spaced(s.PeakDisp);
    l << QStringLiteral("MaxDisp:,") + spaced(s.MaxDisp);
    l << QString();
    l << QStringLiteral("Ultimate Displacement:");
    l << QStringLiteral("Load Reduction factor:,") + spaced(s.LoadReductionFactor);
    l << (s.UltimateFound ? QStringLiteral("Ultimate Disp is found?, YES")
                          : QStringLiteral("Ultimate Disp is found?, NO"));
    l << QStringLiteral("Ultimate Disp:,") + spaced(s.UltimateDisp);
    l << QString();
    l << QStringLiteral("Initial Stiffness:");
    l << QStringLiteral("Load Factor for Secant:,") + spaced(s.SecantLoadFactor);
    if (s.StiffnessFound)
        l << QStringLiteral("Initial Stifness:,") + num(s.InitialStiffness);
    else
        l << QStringLiteral("Initial Stifness:,--");
    l << QString();
    l << QStringLiteral("YieldlingPoint:");
    l << QStringLiteral("Method-1:,Geometric Graphic Method");
    if (s.StiffnessFound) {
        l << QStringLiteral("YieldLoad:,") + num(s.GeometricResult.YieldLoad);
        l << QStringLiteral("YieldDisp:,") + num(s.GeometricResult.YieldDisp);
        l << QStringLiteral("Ductility:,") + num(s.GeometricResult.Ductility);
    } else {
        l << QStringLiteral("YieldLoad:,--");
        l << QStringLiteral("YieldDisp:,--");
    }
    l << QString();
    l << QStringLiteral("Method-2:,Energy Equivalence Principle Method");
    l << QStringLiteral("YieldLoad:,") + num(s.EnergyResult.YieldLoad);
    l << QStringLiteral("YieldDisp:,") + num(s.EnergyResult.YieldDisp);
    l << QStringLiteral("Ductility:,") + num(s.EnergyResult.Ductility);
    l << QString();
    l << QStringLiteral("Method-3:,R.Park Method");
    l << QStringLiteral("Yielding Load Factor:,") + num(s.ParkLoadFactor);
    l << QStringLiteral("YieldLoad:,") + num(s.ParkResult.YieldLoad);
    l << QStringLiteral("YieldDisp:,") + num(s.ParkResult.YieldDisp);
    l << QStringLiteral("Ductility:,") + num(s.ParkResult.Ductility);
    l << QString();
    l << QStringLiteral("Mean Value:");
    l << QStringLiteral("YieldLoad:,") + num(s.MeanResult.YieldLoad);
    l << QStringLiteral("YieldDisp:,") + num(s.MeanResult.YieldDisp);
    l << QStringLiteral("Ductility:,") + num(s.MeanResult.Ductility);
    return l;
}

QByteArray reportBytes(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines) {
        out += line.toLocal8Bit();
        out += "\r\n";
    }
    return out;
}

}  // namespace rz
