#pragma once

#include "core/chart/ChartModel.h"
#include "excel/ExcelToolkit.h"
#include "excel/RecordingBackend.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace rz::excel::test {

// An environment whose applications are recorder objects; it keeps what it was asked to
// show, and can refuse to start Excel or cancel after a number of progress reports.
class RecordingEnvironment : public ExcelEnvironment {
public:
    AutomationObject createApplication() override
    {
        if (startFails)
            throw std::runtime_error("class not registered");
        return recorder.createApplication();
    }
    void showStartFailure(const QString& text, const QString& caption) override
    {
        startFailures.push_back(caption + QStringLiteral(": ") + text);
    }
    void showNotice(const QString& text) override { notices.push_back(text); }
    bool progress(std::int64_t done, std::int64_t total) override
    {
        reports.push_back({done, total});
        return !cancelAfter || static_cast<int>(reports.size()) < *cancelAfter;
    }

    RecordingBackend recorder;
    bool startFails = false;
    std::optional<int> cancelAfter;  // the n-th report answers "cancel"
    QStringList startFailures;
    QStringList notices;
    std::vector<std::pair<std::int64_t, std::int64_t>> reports;
};

inline void addPoints(ChartModel& chart, SeriesId id, const std::vector<std::pair<double, double>>& points)
{
    for (const auto& [x, y] : points)
        chart[id].data.add(x, y);
}

// A curve of n points: x = i, y = i / 2.
inline void addCurve(ChartModel& chart, int n)
{
    for (int i = 0; i < n; ++i)
        chart[SeriesId::lnsrsSeries4].data.add(i, i / 2.0);
}

// The recorded lines that mention every one of the given fragments.
inline QStringList linesWith(const QStringList& lines, const QStringList& fragments)
{
    QStringList out;
    for (const QString& line : lines) {
        bool all = true;
        for (const QString& f : fragments)
            all = all && line.contains(f);
        if (all)
            out << line;
    }
    return out;
}

// The contents of the sheet after all Value writes: "A2" -> text.
inline std::map<QString, QString> finalCells(const RecordingBackend& recorder)
{
    static const QRegularExpression cell(QStringLiteral(R"(Cells\(i(?:16|32) (\d+), i16 (\d+)\)$)"));
    std::map<QString, QString> cells;
    for (const RecordedCall& c : recorder.calls()) {
        if (c.kind != CallKind::Put || c.member != "Value")
            continue;
        const QRegularExpressionMatch m = cell.match(c.object);
        if (m.hasMatch())
            cells[CellReference(m.captured(1).toInt(), m.captured(2).toInt(), QString())] = c.args.at(0).asText();
    }
    return cells;
}

}  // namespace rz::excel::test
