#include "core/report/CyclicReport.h"

#include "core/report/Report.h"
#include "core/text/NumberText.h"
#include "core/workbench/CyclicSession.h"

namespace rz {

namespace {
using namespace Qt::StringLiterals;
}  // namespace

QStringList cyclicReportLines(const CyclicSession& session, QChar sep)
{
    const CyclicEnvelopes& env = session.envelopes();
    const CyclicOptions& options = session.options();
    QStringList lines;
    const auto add = [&lines](const char* label, const QString& value) {
        lines << QString::fromLatin1(label) + u","_s + csvField(value);
    };
    lines << QString() << u"Cyclic analysis:"_s;
    add("Tolerance:", formatGeneral(options.tolerance, sep));
    add("Dead Band:", formatGeneral(env.deadBand, sep));
    add("Envelope:", QString::fromLatin1(keyOf(options.envelope)));
    add("Peak:", QString::fromLatin1(keyOf(options.peak)));
    add("Samples:", QString::number(env.sampleCount));
    add("Reversals:", QString::number(env.reversals.size()));
    add("Excursions:", QString::number(env.excursionCount));

    const Workbench& positive = session.analysis(Direction::Positive);
    const Workbench& negative = session.analysis(Direction::Negative);
    const auto number = [sep](std::optional<double> v) { return v ? formatGeneral(*v, sep) : u"--"_s; };
    const auto row = [&lines](const QString& label, const QStringList& cells) {
        QString line = label;
        for (const QString& cell : cells)
            line += u","_s + csvField(cell);
        lines << line;
    };
    lines << u",Positive,Negative,Average"_s;
    const auto count = [&](auto of) {
        QStringList cells;
        for (Direction d : {Direction::Positive, Direction::Negative})
            cells << QString::number(of(env.of(d)));
        return cells << QString();
    };
    row(u"Phases:"_s, count([](const DirectionEnvelope& e) { return e.phases.size(); }));
    row(u"Direction Excursions:"_s, count([](const DirectionEnvelope& e) { return e.excursions.size(); }));
    row(u"Direction Reversals:"_s, count([](const DirectionEnvelope& e) { return e.reversalCount; }));
    for (const CyclicResultRow& r : cyclicResultRows()) {
        const std::optional<double> a = cyclicResult(positive, r);
        const std::optional<double> b = cyclicResult(negative, r);
        row(QString::fromLatin1(r.label) + u":"_s, {number(a), number(b), number(meanOfBoth(a, b))});
    }
    return lines;
}

}  // namespace rz
