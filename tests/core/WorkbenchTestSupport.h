#pragma once

// Helpers shared by the workbench, report and batch-tool tests: a user interface that
// records what the window would show, curve files written on the fly, and comparisons of
// states and series that print readably when they fail.
#include "core/text/NumberText.h"
#include "core/workbench/Workbench.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace rz::test {

struct UiEvent {
    enum class Kind { Message, Focus };
    Kind kind;
    MessageLevel level = MessageLevel::Information;
    QString text;
    Field field = Field::edt1;
};

// One line per event, e.g. "information: Import Data first!" or "focus edt12".
inline std::string describe(const UiEvent& e)
{
    if (e.kind == UiEvent::Kind::Focus)
        return std::string("focus ") + fieldName(e.field);
    return std::string(messageLevelName(e.level)) + ": " + e.text.toStdString();
}

class RecordingUi : public UserInterface {
public:
    void showMessage(MessageLevel level, const QString& text) override
    {
        events.push_back({UiEvent::Kind::Message, level, text, Field::edt1});
    }
    void focusField(Field field) override { events.push_back({UiEvent::Kind::Focus, MessageLevel::Information, {}, field}); }

    // Every event as describe() writes it, in order.
    std::vector<std::string> log() const
    {
        std::vector<std::string> out;
        for (const UiEvent& e : events)
            out.push_back(describe(e));
        return out;
    }
    void clear() { events.clear(); }

    std::vector<UiEvent> events;
};

inline std::string info(const char* text) { return std::string("information: ") + text; }
inline std::string warning(const char* text) { return std::string("warning: ") + text; }
inline std::string error(const char* text) { return std::string("error: ") + text; }

// Shortest text that reads back to the same double: fixture files carry exact values.
inline std::string exactText(double v)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

struct Pt {
    double x;
    double y;
};

// A data file: a header line, then one "x,y" line per point, LF line ends.
inline QByteArray curveFile(std::initializer_list<Pt> pts)
{
    std::string s = "displacement,load\n";
    for (const Pt& p : pts)
        s += exactText(p.x) + "," + exactText(p.y) + "\n";
    return QByteArray::fromStdString(s);
}

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write fixture " << path.toStdString();
    return path;
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The curve of the worked examples: peak 100 at displacement 4 (index 5), last point (6, 80).
inline QByteArray workedExampleFile()
{
    return curveFile({{0, 0}, {1, 50}, {1.5, 75}, {2, 80}, {3, 95}, {4, 100}, {5, 90}, {6, 80}});
}

// Starts above the secant load: no initial stiffness, the Geometric method is skipped.
inline QByteArray noStiffnessFile()
{
    return curveFile({{0, 20}, {1, 60}, {2, 100}, {3, 70}});
}

inline std::vector<Point> pointsOf(const Workbench& wb, SeriesId id)
{
    return wb.chart()[id].data.points();
}

inline bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Points equal within a relative 1e-12: expectations are written as decimals, while the
// stored values come from interpolations that may differ from them in the last bit.
inline ::testing::AssertionResult nearlySamePoints(const std::vector<Point>& got, std::initializer_list<Pt> want)
{
    auto close = [](double a, double b) { return std::abs(a - b) <= 1e-12 * std::max({1.0, std::abs(a), std::abs(b)}); };
    auto text = [](const auto& pts) {
        std::string s;
        for (const auto& p : pts)
            s += "(" + exactText(p.x) + ", " + exactText(p.y) + ") ";
        return s;
    };
    bool ok = got.size() == want.size();
    if (ok) {
        auto w = want.begin();
        for (const Point& g : got) {
            ok = ok && close(g.x, w->x) && close(g.y, w->y);
            ++w;
        }
    }
    if (ok)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << text(got) << "\n  want " << text(std::vector<Pt>(want));
}

// Every AnalysisState field, doubles compared bit for bit.
inline ::testing::AssertionResult sameState(const AnalysisState& a, const AnalysisState& b)
{
    std::string diff;
    auto d = [&](const char* name, double x, double y) {
        if (!sameBits(x, y))
            diff += std::string(name) + ": " + exactText(x) + " vs " + exactText(y) + "\n";
    };
    auto i = [&](const char* name, long long x, long long y) {
        if (x != y)
            diff += std::string(name) + ": " + std::to_string(x) + " vs " + std::to_string(y) + "\n";
    };
    auto r = [&](const char* name, const YieldResult& x, const YieldResult& y) {
        d((std::string(name) + ".YieldLoad").c_str(), x.YieldLoad, y.YieldLoad);
        d((std::string(name) + ".YieldDisp").c_str(), x.YieldDisp, y.YieldDisp);
        d((std::string(name) + ".Ductility").c_str(), x.Ductility, y.Ductility);
    };
    i("DisplayMethod", a.DisplayMethod, b.DisplayMethod);
    d("PeakLoad", a.PeakLoad, b.PeakLoad);
    d("PeakDisp", a.PeakDisp, b.PeakDisp);
    i("PeakIndex", a.PeakIndex, b.PeakIndex);
    d("MaxDisp", a.MaxDisp, b.MaxDisp);
    d("MaxDispIndex", a.MaxDispIndex, b.MaxDispIndex);
    d("ParkLoadFactor", a.ParkLoadFactor, b.ParkLoadFactor);
    r("GeometricResult", a.GeometricResult, b.GeometricResult);
    r("ParkResult", a.ParkResult, b.ParkResult);
    r("EnergyResult", a.EnergyResult, b.EnergyResult);
    r("MeanResult", a.MeanResult, b.MeanResult);
    d("LoadReductionFactor", a.LoadReductionFactor, b.LoadReductionFactor);
    d("UltimateDisp", a.UltimateDisp, b.UltimateDisp);
    i("UltimateFound", a.UltimateFound, b.UltimateFound);
    d("SecantLoadFactor", a.SecantLoadFactor, b.SecantLoadFactor);
    d("InitialStiffness", a.InitialStiffness, b.InitialStiffness);
    i("StiffnessFound", a.StiffnessFound, b.StiffnessFound);
    if (a.ResultBaseName != b.ResultBaseName)
        diff += "ResultBaseName: " + a.ResultBaseName.toStdString() + " vs " + b.ResultBaseName.toStdString() + "\n";
    if (a.SourceDataPath != b.SourceDataPath)
        diff += "SourceDataPath: " + a.SourceDataPath.toStdString() + " vs " + b.SourceDataPath.toStdString() + "\n";
    if (diff.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << diff;
}

// The texts of all nine series and nineteen fields, to compare whole window contents.
struct WindowSnapshot {
    std::vector<std::vector<Point>> series;
    std::vector<bool> visible;
    std::vector<QString> fields;
    friend bool operator==(const WindowSnapshot&, const WindowSnapshot&) = default;
};

inline WindowSnapshot snapshot(const Workbench& wb)
{
    WindowSnapshot s;
    for (int i = 0; i < kSeriesCount; ++i) {
        s.series.push_back(wb.chart().at(i).data.points());
        s.visible.push_back(wb.chart().at(i).visible);
    }
    for (int f = 0; f < kFieldCount; ++f)
        s.fields.push_back(wb.fieldText(static_cast<Field>(f)));
    return s;
}

inline void PrintTo(const WindowSnapshot& s, std::ostream* os)
{
    for (std::size_t i = 0; i < s.series.size(); ++i) {
        *os << "\n  " << seriesStyle(static_cast<SeriesId>(i)).name << (s.visible[i] ? "" : " (hidden)") << ":";
        for (const Point& p : s.series[i])
            *os << " (" << exactText(p.x) << ", " << exactText(p.y) << ")";
    }
    for (std::size_t f = 0; f < s.fields.size(); ++f)
        *os << "\n  " << fieldName(static_cast<Field>(f)) << " = \"" << s.fields[f].toStdString() << '"';
}

}  // namespace rz::test
