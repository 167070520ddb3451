// The batch tool's JSON lines, read by a reader of their own that keeps the order of keys
// and every number's text, checked against a replay of the window's model.
#include "CliFixture.h"
#include "CliTestSupport.h"

#include "core/methods/YieldMethods.h"
#include "core/workbench/Workbench.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <cctype>
#include <charconv>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rz {
namespace {

using namespace rz::test;

// ---------------------------------------------------------------------------------------
// A small JSON reader that keeps the order of keys and the text of every number, so the
// tests can check the order the format promises and that numbers read back bit for bit.

struct Json {
    enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
    bool boolean = false;
    std::string text;  // a number's token or a string's decoded value
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    const Json& operator[](const std::string& key) const
    {
        for (const auto& [k, v] : members)
            if (k == key)
                return v;
        static const Json missing;
        ADD_FAILURE() << "no key " << key;
        return missing;
    }
    std::vector<std::string> keys() const
    {
        std::vector<std::string> out;
        for (const auto& m : members)
            out.push_back(m.first);
        return out;
    }
    double number() const
    {
        double v = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
        EXPECT_TRUE(type == Type::Number && r.ec == std::errc() && r.ptr == text.data() + text.size())
            << "not a number: " << text;
        return v;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& s) : s_(s) {}
    std::optional<Json> document()
    {
        Json v;
        if (!value(v))
            return std::nullopt;
        skip();
        return p_ == s_.size() ? std::optional<Json>(std::move(v)) : std::nullopt;
    }

private:
    void skip()
    {
        while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\t' || s_[p_] == '\n' || s_[p_] == '\r'))
            ++p_;
    }
    bool literal(const char* word)
    {
        const std::string w(word);
        if (s_.compare(p_, w.size(), w) != 0)
            return false;
        p_ += w.size();
        return true;
    }
    bool string(std::string& out)
    {
        if (p_ >= s_.size() || s_[p_] != '"')
            return false;
        for (++p_; p_ < s_.size(); ++p_) {
            const char c = s_[p_];
            if (c == '"') {
                ++p_;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++p_ >= s_.size())
                return false;
            switch (s_[p_]) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    if (p_ + 4 >= s_.size())
                        return false;
                    const unsigned code = std::stoul(s_.substr(p_ + 1, 4), nullptr, 16);
                    out += QString(QChar(static_cast<char16_t>(code))).toStdString();
                    p_ += 4;
                    break;
                }
                default:
                    return false;
            }
        }
        return false;
    }
    bool number(std::string& out)
    {
        const std::size_t start = p_;
        if (p_ < s_.size() && s_[p_] == '-')
            ++p_;
        const std::size_t digits = p_;
        while (p_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p_])))
            ++p_;
        if (p_ == digits || (s_[digits] == '0' && p_ - digits > 1))
            return false;
        if (p_ < s_.size() && s_[p_] == '.') {
            const std::size_t frac = ++p_;
            while (p_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p_])))
                ++p_;
            if (p_ == frac)
                return false;
        }
        if (p_ < s_.size() && (s_[p_] == 'e' || s_[p_] == 'E')) {
            ++p_;
            if (p_ < s_.size() && (s_[p_] == '+' || s_[p_] == '-'))
                ++p_;
            const std::size_t exp = p_;
            while (p_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p_])))
                ++p_;
            if (p_ == exp)
                return false;
        }
        out = s_.substr(start, p_ - start);
        return true;
    }
    bool value(Json& v)
    {
        skip();
        if (p_ >= s_.size())
            return false;
        const char c = s_[p_];
        if (c == '{') {
            v.type = Json::Type::Object;
            ++p_;
            skip();
            if (p_ < s_.size() && s_[p_] == '}') {
                ++p_;
                return true;
            }
            for (;;) {
                skip();
                std::string key;
                if (!string(key))
                    return false;
                skip();
                if (p_ >= s_.size() || s_[p_++] != ':')
                    return false;
                Json member;
                if (!value(member))
                    return false;
                v.members.emplace_back(std::move(key), std::move(member));
                skip();
                if (p_ < s_.size() && s_[p_] == ',') {
                    ++p_;
                    continue;
                }
                return p_ < s_.size() && s_[p_++] == '}';
            }
        }
        if (c == '[') {
            v.type = Json::Type::Array;
            ++p_;
            skip();
            if (p_ < s_.size() && s_[p_] == ']') {
                ++p_;
                return true;
            }
            for (;;) {
                Json item;
                if (!value(item))
                    return false;
                v.items.push_back(std::move(item));
                skip();
                if (p_ < s_.size() && s_[p_] == ',') {
                    ++p_;
                    continue;
                }
                return p_ < s_.size() && s_[p_++] == ']';
            }
        }
        if (c == '"') {
            v.type = Json::Type::String;
            return string(v.text);
        }
        if (literal("true")) {
            v.type = Json::Type::Bool;
            v.boolean = true;
            return true;
        }
        if (literal("false")) {
            v.type = Json::Type::Bool;
            return true;
        }
        if (literal("null"))
            return true;
        v.type = Json::Type::Number;
        return number(v.text);
    }

    const std::string& s_;
    std::size_t p_ = 0;
};

std::vector<Json> jsonLines(const QByteArray& out)
{
    std::vector<Json> docs;
    const QList<QByteArray> lines = out.split('\n');
    EXPECT_TRUE(out.endsWith('\n'));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        QJsonParseError error;
        QJsonDocument::fromJson(lines[i], &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        const std::string text = lines[i].toStdString();
        std::optional<Json> doc = JsonReader(text).document();
        EXPECT_TRUE(doc.has_value()) << "not JSON: " << text;
        if (doc)
            docs.push_back(std::move(*doc));
    }
    return docs;
}

// A double as the JSON must carry it: its shortest round-trip text reading back to the
// same bits (or one of the three strings for non-finite values).
::testing::AssertionResult carries(const Json& j, double want)
{
    if (std::isnan(want) || std::isinf(want)) {
        const char* name = std::isnan(want) ? "NaN" : (want > 0 ? "Infinity" : "-Infinity");
        if (j.type == Json::Type::String && j.text == name)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "want \"" << name << "\", got " << j.text;
    }
    if (j.type != Json::Type::Number)
        return ::testing::AssertionFailure() << "not a number: " << j.text;
    double got = 0;
    const auto r = std::from_chars(j.text.data(), j.text.data() + j.text.size(), got);
    if (r.ec != std::errc() || !sameBits(got, want))
        return ::testing::AssertionFailure() << j.text << " does not read back as " << exactText(want);
    if (j.text.size() > exactText(want).size() + 1)  // a "+" in the exponent may add one
        return ::testing::AssertionFailure() << j.text << " is longer than " << exactText(want);
    return ::testing::AssertionSuccess();
}

const char* const kStateKeys[] = {
    "PeakLoad",       "PeakDisp",         "PeakIndex",           "MaxDisp",
    "MaxDispIndex",   "ParkLoadFactor",   "GeometricResult",     "ParkResult",
    "EnergyResult",   "MeanResult",       "LoadReductionFactor", "UltimateDisp",
    "UltimateFound",  "SecantLoadFactor", "InitialStiffness",    "StiffnessFound",
    "ResultBaseName", "SourceDataPath",
};

// "methods": one object per definition by its key, in the table's order, each with its
// figures as the window's model holds them; null numbers for a definition not found.
void expectMethodsDescribe(const Json& methods, const Workbench& wb)
{
    EXPECT_EQ(methods.keys(), (std::vector<std::string>{"EEEP_ASTM_E2126", "EN_12512", "FarthestPoint",
                                                        "Bilinear_ASCE_41", "EqualEnergy_EN_1998"}));
    const std::vector<YieldDefinitionResult>& results = wb.otherDefinitions();
    ASSERT_TRUE(results.empty() || results.size() == otherYieldMethods().size());
    for (std::size_t m = 0; m < otherYieldMethods().size(); ++m) {
        const char* key = otherYieldMethods()[m].key;
        SCOPED_TRACE(key);
        const Json& got = methods[key];
        EXPECT_EQ(got.keys(), (std::vector<std::string>{"Found", "YieldLoad", "YieldDisp", "Ductility", "Stiffness",
                                                        "UltimateDisp", "Note"}));
        EXPECT_EQ(got["Found"].type, Json::Type::Bool);
        if (results.empty()) {
            EXPECT_FALSE(got["Found"].boolean);
            EXPECT_EQ(got["Note"].text, "not calculated");
            EXPECT_EQ(got["YieldLoad"].type, Json::Type::Null);
            continue;
        }
        const YieldDefinitionResult& r = results[m];
        EXPECT_EQ(got["Found"].boolean, r.found);
        EXPECT_EQ(got["Note"].text, r.note.toStdString());
        const std::pair<const char*, double> numbers[] = {{"YieldLoad", r.yieldLoad},
                                                          {"YieldDisp", r.yieldDisp},
                                                          {"Ductility", r.ductility},
                                                          {"Stiffness", r.stiffness},
                                                          {"UltimateDisp", r.ultimateDisp}};
        for (const auto& [name, value] : numbers) {
            if (r.found)
                EXPECT_TRUE(carries(got[name], value)) << name;
            else
                EXPECT_EQ(got[name].type, Json::Type::Null) << name;
        }
    }
}

// The object for one FILE says what the replayed window holds, in the promised order.
void expectJsonDescribes(const Json& j, const QString& source, const Replay& r, const QString& lr,
                         const QString& secant, const QString& park)
{
    EXPECT_EQ(j.keys(), (std::vector<std::string>{"source", "lines", "points", "messages", "factors", "state",
                                                  "methods", "series"}));
    EXPECT_EQ(j["source"].text, source.toStdString());
    if (r.wb.lastImportLineCount() < 0) {
        EXPECT_EQ(j["lines"].type, Json::Type::Null);
    } else {
        EXPECT_EQ(j["lines"].text, std::to_string(r.wb.lastImportLineCount()));
    }
    EXPECT_EQ(j["points"].text, std::to_string(r.wb.chart()[SeriesId::lnsrsSeries4].data.count()));

    const Json& messages = j["messages"];
    ASSERT_EQ(messages.items.size(), r.ui.events.size());
    for (std::size_t i = 0; i < messages.items.size(); ++i) {
        EXPECT_EQ(messages.items[i].keys(), (std::vector<std::string>{"level", "text"}));
        EXPECT_EQ(messages.items[i]["level"].text, messageLevelName(r.ui.events[i].level));
        EXPECT_EQ(messages.items[i]["text"].text, r.ui.events[i].text.toStdString());
    }

    const Json& factors = j["factors"];
    EXPECT_EQ(factors.keys(), (std::vector<std::string>{"LoadReductionFactor", "SecantLoadFactor", "ParkLoadFactor"}));
    EXPECT_EQ(factors["LoadReductionFactor"].text, lr.toStdString());
    EXPECT_EQ(factors["SecantLoadFactor"].text, secant.toStdString());
    EXPECT_EQ(factors["ParkLoadFactor"].text, park.toStdString());

    const Json& state = j["state"];
    std::vector<std::string> keys = state.keys();
    if (!keys.empty() && keys.front() == "DisplayMethod")
        keys.erase(keys.begin());
    EXPECT_EQ(keys, std::vector<std::string>(std::begin(kStateKeys), std::end(kStateKeys)));
    const AnalysisState& s = r.wb.state();
    EXPECT_TRUE(carries(state["PeakLoad"], s.PeakLoad));
    EXPECT_TRUE(carries(state["PeakDisp"], s.PeakDisp));
    EXPECT_EQ(state["PeakIndex"].text, std::to_string(s.PeakIndex));
    EXPECT_TRUE(carries(state["MaxDisp"], s.MaxDisp));
    EXPECT_TRUE(carries(state["MaxDispIndex"], s.MaxDispIndex));
    EXPECT_TRUE(carries(state["ParkLoadFactor"], s.ParkLoadFactor));
    const std::pair<const char*, const YieldResult*> results[] = {{"GeometricResult", &s.GeometricResult},
                                                                  {"ParkResult", &s.ParkResult},
                                                                  {"EnergyResult", &s.EnergyResult},
                                                                  {"MeanResult", &s.MeanResult}};
    for (const auto& [name, result] : results) {
        SCOPED_TRACE(name);
        EXPECT_EQ(state[name].keys(), (std::vector<std::string>{"YieldLoad", "YieldDisp", "Ductility"}));
        EXPECT_TRUE(carries(state[name]["YieldLoad"], result->YieldLoad));
        EXPECT_TRUE(carries(state[name]["YieldDisp"], result->YieldDisp));
        EXPECT_TRUE(carries(state[name]["Ductility"], result->Ductility));
    }
    EXPECT_TRUE(carries(state["LoadReductionFactor"], s.LoadReductionFactor));
    EXPECT_TRUE(carries(state["UltimateDisp"], s.UltimateDisp));
    EXPECT_EQ(state["UltimateFound"].type, Json::Type::Bool);
    EXPECT_EQ(state["UltimateFound"].boolean, s.UltimateFound);
    EXPECT_TRUE(carries(state["SecantLoadFactor"], s.SecantLoadFactor));
    EXPECT_TRUE(carries(state["InitialStiffness"], s.InitialStiffness));
    EXPECT_EQ(state["StiffnessFound"].type, Json::Type::Bool);
    EXPECT_EQ(state["StiffnessFound"].boolean, s.StiffnessFound);
    EXPECT_EQ(state["ResultBaseName"].text, s.ResultBaseName.toStdString());
    EXPECT_EQ(state["SourceDataPath"].text, s.SourceDataPath.toStdString());

    expectMethodsDescribe(j["methods"], r.wb);

    const Json& series = j["series"];
    std::vector<std::string> names;
    for (int i = 0; i < kSeriesCount; ++i)
        names.push_back(seriesStyle(static_cast<SeriesId>(i)).name);
    EXPECT_EQ(series.keys(),
              (std::vector<std::string>{"lnsrsSeries4", "lnsrsSeries1", "lnsrsSeries2", "lnsrsSeries3", "pntsrsSeries1",
                                        "pntsrsSeries2", "pntsrsSeries3", "pntsrsSeries4", "pntsrsSeries5"}));
    for (int i = 0; i < kSeriesCount; ++i) {
        const std::vector<Point> want = r.wb.chart().at(i).data.points();
        const Json& got = series[names[static_cast<std::size_t>(i)]];
        ASSERT_EQ(got.items.size(), want.size()) << names[static_cast<std::size_t>(i)];
        for (std::size_t k = 0; k < want.size(); ++k) {
            ASSERT_EQ(got.items[k].items.size(), 2u);
            EXPECT_TRUE(carries(got.items[k].items[0], want[k].x))
                << names[static_cast<std::size_t>(i)] << "[" << k << "]";
            EXPECT_TRUE(carries(got.items[k].items[1], want[k].y))
                << names[static_cast<std::size_t>(i)] << "[" << k << "]";
        }
    }
}

// ---------------------------------------------------------------------------------------
// JSON

TEST_F(CliTest, JsonReplaysTheWindowForEveryFile)
{
    struct Case {
        const char* name;
        QString file;
        QChar sep = QLatin1Char('.');
        QString lr = QStringLiteral("0.15");
        QString secant = QStringLiteral("0.1");
        QString park = QStringLiteral("0.75");
    };
    const std::vector<Case> cases = {
        {"worked example", put(QStringLiteral("worked.csv"), workedExampleFile())},
        {"no stiffness", put(QStringLiteral("nostiff.csv"), noStiffnessFile())},
        {"stiffness warning", put(QStringLiteral("vertical.csv"), curveFile({{0, 0}, {0, 50}, {1, 100}}))},
        {"arithmetic error", put(QStringLiteral("peakfirst.csv"), curveFile({{0, 100}, {1, 50}, {2, 20}}))},
        {"bad line", put(QStringLiteral("badline.csv"), "d,l\n0,0\n1,50\n2,100\nx,y\n3,70\n")},
        {"unreadable", dir.filePath(QStringLiteral("missing.csv"))},
        {"other factors", put(QStringLiteral("factors.csv"), workedExampleFile()), QLatin1Char('.'),
         QStringLiteral("0.12"), QStringLiteral("0.78"), QStringLiteral("0.6")},
        {"factor refused", put(QStringLiteral("refused.csv"), workedExampleFile()), QLatin1Char('.'),
         QStringLiteral("0.15"), QStringLiteral("1"), QStringLiteral("0.75")},
        {"decimal comma",
         put(QStringLiteral("comma.txt"), "d l\n0 0\n1 50\n\"1,5\" 75\n2 80\n3 95\n4 100\n5 90\n6 80\n"),
         QLatin1Char(','), QStringLiteral("0,15"), QStringLiteral("0,1"), QStringLiteral("0,75")},
        {"odd characters in the name", put(QStringLiteral("we\"ird\\name\t1.csv"), noStiffnessFile())},
        {"real curve", kRealCurve},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = runCli({QStringLiteral("--json"), QStringLiteral("--decimal-separator"), QString(c.sep),
                                 QStringLiteral("--load-reduction"), c.lr, QStringLiteral("--secant"), c.secant,
                                 QStringLiteral("--park"), c.park, c.file});
        const std::vector<Json> docs = jsonLines(r.out);
        ASSERT_EQ(docs.size(), 1u) << r.out.toStdString();
        const Replay replay(c.file, c.sep, c.lr, c.secant, c.park);
        expectJsonDescribes(docs[0], c.file, replay, c.lr, c.secant, c.park);
        EXPECT_EQ(r.code, replay.wb.lastCalculationCompleted() ? 0 : 1);
    }
}

TEST_F(CliTest, JsonOfTheWorkedExample)
{
    const QString worked = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString missing = dir.filePath(QStringLiteral("missing.csv"));
    const CliRun r = runCli({QStringLiteral("--json"), worked, missing});
    const std::vector<Json> docs = jsonLines(r.out);
    ASSERT_EQ(docs.size(), 2u);

    const Json& j = docs[0];
    EXPECT_EQ(j["lines"].text, "9");
    EXPECT_EQ(j["points"].text, "8");
    ASSERT_EQ(j["messages"].items.size(), 1u);
    EXPECT_EQ(j["messages"].items[0]["level"].text, "information");
    EXPECT_EQ(j["messages"].items[0]["text"].text, "9 Lines of date have been imported!");
    const Json& s = j["state"];
    EXPECT_EQ(s["PeakIndex"].text, "5");
    EXPECT_EQ(s["MaxDispIndex"].number(), 7.0);
    EXPECT_DOUBLE_EQ(s["GeometricResult"]["YieldLoad"].number(), 87.5);
    EXPECT_DOUBLE_EQ(s["EnergyResult"]["Ductility"].number(), 5.5 / 2.4);
    EXPECT_DOUBLE_EQ(s["MeanResult"]["YieldDisp"].number(), 2.3);
    EXPECT_TRUE(s["UltimateFound"].boolean);
    EXPECT_EQ(s["ResultBaseName"].text, "worked");
    const Json& marker = j["series"]["pntsrsSeries5"];
    ASSERT_EQ(marker.items.size(), 1u);
    EXPECT_DOUBLE_EQ(marker.items[0].items[0].number(), 5.5);
    EXPECT_DOUBLE_EQ(marker.items[0].items[1].number(), 85);

    const Json& m = docs[1];
    EXPECT_EQ(m["lines"].type, Json::Type::Null);
    EXPECT_EQ(m["points"].text, "0");
    ASSERT_EQ(m["messages"].items.size(), 2u);
    EXPECT_EQ(m["messages"].items[0]["level"].text, "error");
    EXPECT_NE(m["messages"].items[0]["text"].text.find(missing.toStdString()), std::string::npos);
    EXPECT_EQ(m["messages"].items[1]["text"].text, "Import Data first!");
    EXPECT_EQ(r.code, 1);
}

// Published test: the peak of 10330 N lies at 11.38 mm and the load first falls below
// 0.85 times the peak at 11.84 mm.
TEST_F(CliTest, RealCurveFindsItsPublishedPeakAndUltimatePoint)
{
    const CliRun r = runCli({QStringLiteral("--json"), kRealCurve});
    EXPECT_EQ(r.code, 0);
    const std::vector<Json> docs = jsonLines(r.out);
    ASSERT_EQ(docs.size(), 1u);
    const Json& s = docs[0]["state"];
    EXPECT_EQ(docs[0]["points"].text, "935");
    EXPECT_NEAR(s["PeakLoad"].number(), 10330, 0.5);
    EXPECT_NEAR(s["PeakDisp"].number(), 11.38, 0.005);
    EXPECT_TRUE(s["UltimateFound"].boolean);
    EXPECT_GT(s["UltimateDisp"].number(), 11.38);
    EXPECT_LE(s["UltimateDisp"].number(), 11.84);
    EXPECT_TRUE(s["StiffnessFound"].boolean);
    for (const char* method : {"GeometricResult", "ParkResult", "EnergyResult"}) {
        EXPECT_GT(s[method]["YieldLoad"].number(), 0) << method;
        EXPECT_LT(s[method]["YieldLoad"].number(), s["PeakLoad"].number()) << method;
        EXPECT_GT(s[method]["YieldDisp"].number(), 0) << method;
        EXPECT_LT(s[method]["YieldDisp"].number(), s["PeakDisp"].number()) << method;
    }
}

}  // namespace
}  // namespace rz
