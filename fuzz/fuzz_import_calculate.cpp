// A fuzzed file imported through the window's model, then Calculate on the curve it
// gives: with the default factors and, when line 0 holds three fields, with those as
// the three factor texts (line 0 is never data, so the curve stays the same).
#include "core/import/DataFileReader.h"
#include "core/text/NumberText.h"
#include "core/workbench/OtherDefinitions.h"
#include "core/workbench/Workbench.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

void require(bool condition, const char* what, const QString& detail = {})
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s [%s]\n", what, detail.toUtf8().constData());
        std::abort();
    }
}

struct Recorder : rz::UserInterface {
    std::vector<std::pair<rz::MessageLevel, QString>> messages;
    void showMessage(rz::MessageLevel level, const QString& text) override { messages.emplace_back(level, text); }
    void focusField(rz::Field) override {}
};

const QString& tempPath()
{
    static const QString path = QDir::tempPath() + QStringLiteral("/rz_fuzz_import_%1.csv").arg(::getpid());
    return path;
}

struct RemoveTempFileAtExit {
    ~RemoveTempFileAtExit() { QFile::remove(tempPath()); }
} removeTempFileAtExit;

using rz::Field;
using rz::SeriesId;

// Every field the program writes: empty, "--" or a finite number in one of the window's
// three forms (the fixed patterns switch to the general form beyond 1e18).
void checkShownNumber(Field f, const QString& text, QChar sep)
{
    if (text.isEmpty() || text == QStringLiteral("--"))
        return;
    static const QRegularExpression dot(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?(E-?[1-9][0-9]*)?$"));
    static const QRegularExpression comma(QStringLiteral("^-?(0|[1-9][0-9]*)(,[0-9]+)?(E-?[1-9][0-9]*)?$"));
    require((sep == u'.' ? dot : comma).match(text).hasMatch(), rz::fieldName(f), text);
    const auto value = rz::parseDecimal(text, sep);
    require(!value || std::isfinite(*value), rz::fieldName(f), text);
}

void checkFields(const rz::Workbench& wb)
{
    for (int i = 0; i < rz::kFieldCount; ++i) {
        const auto f = static_cast<Field>(i);
        if (f == Field::edt1 || f == Field::edt12 || f == Field::edt17)
            continue;
        checkShownNumber(f, wb.fieldText(f), wb.decimalSeparator());
    }
}

void checkSeries(const rz::Workbench& wb)
{
    for (int i = 0; i < rz::ChartModel::count(); ++i) {
        const rz::Series& s = wb.chart().at(i).data;
        for (int j = 1; j < s.count(); ++j)
            require(s.x(j - 1) <= s.x(j), rz::seriesStyle(static_cast<SeriesId>(i)).name, QStringLiteral("not sorted by X"));
    }
}

void checkCurveState(const rz::Workbench& wb)
{
    const rz::AnalysisState& st = wb.state();
    const rz::Series& curve = wb.chart()[SeriesId::lnsrsSeries4].data;
    const QChar sep = wb.decimalSeparator();
    require((st.PeakIndex == -1) == curve.empty(), "PeakIndex is -1 exactly when the curve is empty");
    if (curve.empty()) {
        require(wb.fieldText(Field::edt18).isEmpty() && wb.fieldText(Field::edt19).isEmpty(), "peak fields without a curve");
        return;
    }
    const int n = curve.count();
    require(st.PeakIndex >= 0 && st.PeakIndex < n, "PeakIndex outside the curve");
    require(curve.x(st.PeakIndex) == st.PeakDisp && curve.y(st.PeakIndex) == st.PeakLoad, "peak is not a curve point");
    for (int j = 0; j < n; ++j) {
        require(std::isfinite(curve.x(j)) && std::isfinite(curve.y(j)), "curve point not finite");
        require(curve.y(j) <= st.PeakLoad, "a load above the peak");
        require(j >= st.PeakIndex || curve.y(j) < st.PeakLoad, "an equal load before the peak");
    }
    require(st.MaxDisp == curve.x(n - 1), "MaxDisp is not the last X");
    const int k = static_cast<int>(st.MaxDispIndex);
    require(k >= 0 && k < n && curve.x(k) == st.MaxDisp && (k == 0 || curve.x(k - 1) < st.MaxDisp), "MaxDispIndex");
    require(wb.fieldText(Field::edt18) == rz::formatPattern5(st.PeakLoad, sep), "edt18");
    require(wb.fieldText(Field::edt19) == rz::formatPattern5(st.MaxDisp, sep), "edt19");
    const rz::Series& peak = wb.chart()[SeriesId::pntsrsSeries4].data;
    require(peak.count() == 1 && peak.x(0) == st.PeakDisp && peak.y(0) == st.PeakLoad, "peak marker");
}

void checkImportMessage(const Recorder& ui, const rz::Workbench& wb)
{
    require(ui.messages.size() == 1, "import shows one message");
    const auto& [level, text] = ui.messages.front();
    require(level == rz::MessageLevel::Information, "import message level", text);
    const std::int64_t lines = wb.lastImportLineCount();
    const int n = wb.chart()[SeriesId::lnsrsSeries4].data.count();
    const QString success = QStringLiteral("%1 Lines of date have been imported!").arg(lines);
    if (text == success) {
        require(n == std::max<std::int64_t>(lines - 1, 0), "success message with points missing", text);
        return;
    }
    static const QRegularExpression bad(QStringLiteral("^This File contains ([0-9]+) Lines\\. Only ([0-9]+) Lines of date have been imported!$"));
    const auto m = bad.match(text);
    require(m.hasMatch() && m.captured(1).toLongLong() == lines, "import message", text);
    const std::int64_t badLine = m.captured(2).toLongLong();
    require(badLine >= 1 && badLine < lines && n == badLine - 1, "bad-line message and curve disagree", text);
}

void checkCalculation(const Recorder& ui, const rz::Workbench& wb)
{
    for (const auto& [level, text] : ui.messages) {
        if (level == rz::MessageLevel::Error) {
            require(text == QLatin1String("Floating point division by zero") || text == QLatin1String("Invalid floating point operation") ||
                        text == QLatin1String("Floating point overflow"),
                    "an error other than an arithmetic one escaped", text);
        }
    }
    // The other definitions exist exactly after a Calculate that ran to its end: every
    // number of a found one finite, its overlays holding its construction; nothing else.
    const std::vector<rz::YieldDefinitionResult>& others = wb.otherDefinitions();
    const rz::ChartModel& chart = wb.chart();
    for (int m = 0; m < static_cast<int>(rz::otherYieldMethods().size()); ++m) {
        const rz::Overlay& line = chart.overlay(chart.overlayIndex(rz::constructionOverlayKey(m)));
        const rz::Overlay& point = chart.overlay(chart.overlayIndex(rz::yieldPointOverlayKey(m)));
        const bool found = wb.lastCalculationCompleted() && static_cast<std::size_t>(m) < others.size() &&
                           others[static_cast<std::size_t>(m)].found;
        if (!found) {
            require(line.points.empty() && point.points.empty(), "overlay of a definition without a result");
            continue;
        }
        const rz::YieldDefinitionResult& r = others[static_cast<std::size_t>(m)];
        require(std::isfinite(r.yieldLoad) && std::isfinite(r.yieldDisp) && std::isfinite(r.ductility) &&
                    std::isfinite(r.stiffness) && std::isfinite(r.ultimateDisp),
                "a found definition holds a number that is not finite");
        require(line.points == r.polyline && point.points == std::vector<rz::Point>{r.yieldPoint},
                "overlays differ from the definition's construction");
    }
    const rz::AnalysisState& st = wb.state();
    if (!wb.lastCalculationCompleted()) {
        require(others.empty(), "other definitions kept after a Calculate that stopped");
        return;
    }
    require(others.size() == rz::otherYieldMethods().size(), "a definition is missing");
    const QChar sep = wb.decimalSeparator();
    require(wb.chart()[SeriesId::pntsrsSeries5].data.count() == 1, "ultimate marker");
    require(std::isfinite(st.UltimateDisp), "ultimate displacement not finite");
    require((wb.fieldText(Field::edt16) == QStringLiteral("--")) == !st.StiffnessFound, "edt16 and StiffnessFound");
    require((wb.fieldText(Field::edt2) == QStringLiteral("--")) == !st.StiffnessFound, "edt2 and StiffnessFound");
    const rz::YieldResult& mean = st.MeanResult;
    require(std::isfinite(mean.YieldLoad) && std::isfinite(mean.YieldDisp) && std::isfinite(mean.Ductility), "mean not finite");
    require(wb.fieldText(Field::edt10) == rz::formatPattern5(mean.YieldLoad, sep) &&
                wb.fieldText(Field::edt11) == rz::formatPattern5(mean.YieldDisp, sep) &&
                wb.fieldText(Field::edt14) == rz::formatPattern4(mean.Ductility, sep),
            "mean fields differ from the mean");
}

struct Snapshot {
    std::vector<QString> fields;
    std::vector<std::vector<rz::Point>> series;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const rz::Workbench& wb)
{
    Snapshot s;
    for (int i = 0; i < rz::kFieldCount; ++i)
        s.fields.push_back(wb.fieldText(static_cast<Field>(i)));
    for (int i = 0; i < rz::ChartModel::count(); ++i)
        s.series.push_back(wb.chart().at(i).data.points());
    return s;
}

void calculateAndCheck(Recorder& ui, rz::Workbench& wb)
{
    ui.messages.clear();
    wb.btn1Click();
    checkSeries(wb);
    checkFields(wb);
    checkCurveState(wb);
    checkCalculation(ui, wb);
    // Every series is cleared before it is filled: a second click changes nothing.
    const Snapshot first = snapshot(wb);
    const auto firstMessages = ui.messages;
    ui.messages.clear();
    wb.btn1Click();
    require(snapshot(wb) == first && ui.messages == firstMessages, "a second Calculate gives something else");
}

void run(const QByteArray& bytes, QChar sep)
{
    Recorder ui;
    rz::Workbench wb(ui, sep, QDir::tempPath());
    wb.importConfirmed(tempPath());
    checkImportMessage(ui, wb);
    checkSeries(wb);
    checkFields(wb);
    checkCurveState(wb);

    calculateAndCheck(ui, wb);

    const QString text = rz::decodeText(bytes);
    const auto lines = rz::splitLines(text);
    if (lines.empty())
        return;
    const QStringList factors = rz::splitFields(lines.front());
    if (factors.size() < 3)
        return;
    wb.setFieldText(Field::edt12, factors[0]);
    wb.setFieldText(Field::edt17, factors[1]);
    wb.setFieldText(Field::edt1, factors[2]);
    calculateAndCheck(ui, wb);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(tempPath());
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(), "cannot write the temporary file",
                tempPath());
    }
    try {
        run(bytes, u'.');
        run(bytes, u',');
    } catch (...) {
        require(false, "an exception escaped the window's model");
    }
    return 0;
}
