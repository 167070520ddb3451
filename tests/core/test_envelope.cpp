// Envelopes of cyclic records: records generated from known backbones, small records worked
// by hand for the cases the definitions decide narrowly, the one-walk extraction against a
// literal re-implementation, the real records of tests/data/cyclic, and the analysis of each
// envelope against the analysis of a monotonic file holding it.
#include "CyclicRecords.h"
#include "CyclicReference.h"
#include "WorkbenchTestSupport.h"
#include "core/cyclic/Envelope.h"
#include "core/import/DataFileReader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace rz {
namespace {

using test::CyclicShape;
using test::Tip;

std::string text(const std::vector<Point>& pts)
{
    std::string s;
    for (const Point& p : pts)
        s += "(" + test::exactText(p.x) + ", " + test::exactText(p.y) + ") ";
    return s;
}

// Same doubles, bit for bit (so +0 and -0 differ).
::testing::AssertionResult samePoints(const std::vector<Point>& got, const std::vector<Point>& want)
{
    bool same = got.size() == want.size();
    for (std::size_t i = 0; same && i < got.size(); ++i)
        same = test::sameBits(got[i].x, want[i].x) && test::sameBits(got[i].y, want[i].y);
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got  " << text(got) << "\nwant " << text(want);
}

std::vector<int> cyclesPerPhase(const DirectionEnvelope& e)
{
    std::vector<int> out;
    for (const Phase& p : e.phases)
        out.push_back(p.excursionCount);
    return out;
}

CyclicOptions options(EnvelopeChoice envelope, PeakChoice peak = PeakChoice::Load, double tolerance = 0.01)
{
    return CyclicOptions{tolerance, envelope, peak};
}

TEST(CyclicOptions, ToleranceRangeAndNames)
{
    const struct {
        double tolerance;
        bool valid;
    } rows[] = {{0.0, true},  {-0.0, true},     {0.01, true}, {0.49999999999999994, true},
                {0.5, false}, {-1e-300, false}, {1.0, false}, {std::numeric_limits<double>::quiet_NaN(), false}};
    const std::vector<Point> record{{0, 0}, {1, 1}, {0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tolerance);
        EXPECT_EQ(toleranceIsValid(row.tolerance), row.valid);
        if (!row.valid) {
            EXPECT_THROW(extractEnvelopes(record, CyclicOptions{row.tolerance}), std::invalid_argument);
        }
    }
    for (const auto& n : kEnvelopeChoiceNames)
        EXPECT_EQ(choiceFromKey(kEnvelopeChoiceNames, keyOf(n.value)), n.value);
    for (const auto& n : kPeakChoiceNames)
        EXPECT_EQ(choiceFromKey(kPeakChoiceNames, keyOf(n.value)), n.value);
    EXPECT_STREQ(keyOf(Direction::Negative), "negative");
    EXPECT_EQ(choiceFromKey(kEnvelopeChoiceNames, "First"), std::nullopt);
    EXPECT_EQ(choiceFromKey(kPeakChoiceNames, ""), std::nullopt);
}

// --- records from a backbone -----------------------------------------------------------

struct DirectionCounts {
    std::int64_t reversals;
    std::vector<int> cyclesPerPhase;  // empty: no phase, the message instead
};

struct GeneratedRow {
    const char* name;
    CyclicShape shape;
    std::int64_t reversals;
    std::int64_t excursions;
    DirectionCounts positive;
    DirectionCounts negative;
};

test::Backbone linearBackbone()
{
    return test::piecewiseLinear({{4, 40}, {12, 70}, {20, 80}, {30, 60}});
}

std::vector<GeneratedRow> generatedRows()
{
    const std::vector<double> amps{2, 4, 8, 12, 16, 20, 24};
    CyclicShape base{linearBackbone(), linearBackbone(), amps, {}};
    std::vector<GeneratedRow> rows;

    rows.push_back({"piecewise-linear backbone, one cycle per phase",
                    base,
                    14,
                    15,
                    {7, {1, 1, 1, 1, 1, 1, 1}},
                    {7, {1, 1, 1, 1, 1, 1, 1}}});

    CyclicShape exp3{test::exponential(50.0, 30.0),
                     test::exponential(50.0, 30.0),
                     {1, 2, 3, 5, 7, 10},
                     {3, 3, 3, 3, 3, 3},
                     {1.0, 0.9, 0.85}};
    rows.push_back({"exponential backbone, three degrading cycles per phase",
                    exp3,
                    36,
                    37,
                    {18, {3, 3, 3, 3, 3, 3}},
                    {18, {3, 3, 3, 3, 3, 3}}});

    CyclicShape mixed = base;
    mixed.amplitudes = {2, 4, 8, 12, 16, 20};
    mixed.cycles = {1, 2, 3, 3, 2, 1};
    mixed.cycleFactors = {1.0, 1.03, 0.8};  // the second cycle is the strongest
    rows.push_back({"one to three cycles per phase, the second one stronger",
                    mixed,
                    24,
                    25,
                    {12, {1, 2, 3, 3, 2, 1}},
                    {12, {1, 2, 3, 3, 2, 1}}});

    CyclicShape pinched = base;
    pinched.cycles = {2, 2, 2, 2, 2, 2, 2};
    pinched.cycleFactors = {1.0, 0.7};
    pinched.pinch = 5.0;
    rows.push_back({"pinched loops", pinched, 28, 29, {14, {2, 2, 2, 2, 2, 2, 2}}, {14, {2, 2, 2, 2, 2, 2, 2}}});

    CyclicShape twoBackbones = exp3;
    twoBackbones.negative = test::piecewiseLinear({{1.5, 20}, {4, 36}, {6, 41}, {12, 30}});
    rows.push_back(
        {"a different negative backbone", twoBackbones, 36, 37, {18, {3, 3, 3, 3, 3, 3}}, {18, {3, 3, 3, 3, 3, 3}}});

    // Dead band 0.01 * 48 = 0.48; steps of at most 0.08 with jitter up to 0.2 walk back often.
    CyclicShape jitter = pinched;
    jitter.stepsPerLeg = 600;
    jitter.jitter = 0.2;
    jitter.pinch = 1.5;
    rows.push_back(
        {"jitter below the dead band", jitter, 28, 29, {14, {2, 2, 2, 2, 2, 2, 2}}, {14, {2, 2, 2, 2, 2, 2, 2}}});

    // Stops at 0.6 * 24 = 14.4 on the way up: a cycle of the last phase, which it does not outgrow.
    CyclicShape cut = mixed;
    cut.endFraction = 0.6;
    rows.push_back(
        {"a record that ends mid-excursion", cut, 24, 25, {12, {1, 2, 3, 3, 2, 2}}, {12, {1, 2, 3, 3, 2, 1}}});

    CyclicShape offset = base;
    offset.first = {-1.5, -9.0};
    rows.push_back(
        {"a record starting away from zero", offset, 14, 15, {7, {1, 1, 1, 1, 1, 1, 1}}, {7, {1, 1, 1, 1, 1, 1, 1}}});

    CyclicShape oneSided = exp3;
    oneSided.oneSided = true;
    rows.push_back({"only the positive direction", oneSided, 35, 36, {18, {3, 3, 3, 3, 3, 3}}, {17, {}}});
    return rows;
}

// The envelope the generator's tips give for a choice: the backbone itself for the first cycle.
std::vector<Point> expectedEnvelope(const GeneratedRow& row, const std::vector<Tip>& tips, Direction dir,
                                    EnvelopeChoice choice)
{
    if (tips.empty())
        return {};
    const CyclicShape& s = row.shape;
    const test::Backbone& backbone = dir == Direction::Positive ? s.positive : s.negative;
    std::vector<Point> out{{0.0, 0.0}};
    for (std::size_t i = 0; i < s.amplitudes.size(); ++i) {
        if (choice == EnvelopeChoice::First) {
            out.push_back({s.amplitudes[i], backbone(s.amplitudes[i])});
            continue;
        }
        Point chosen{};
        bool any = false;
        for (const Tip& t : tips) {
            const Point mirrored{std::abs(t.sample.x), std::abs(t.sample.y)};
            if (t.phase == static_cast<int>(i) && (!any || choice == EnvelopeChoice::Last || mirrored.y > chosen.y))
                chosen = mirrored, any = true;
        }
        out.push_back(chosen);
    }
    return out;
}

TEST(CyclicEnvelope, RecordsFromKnownBackbones)
{
    for (const GeneratedRow& row : generatedRows()) {
        SCOPED_TRACE(row.name);
        const test::CyclicRecord record = test::makeCyclicRecord(row.shape);
        // The jitter walks back often enough to matter: without a dead band it makes reversals.
        if (row.shape.jitter > 0.0) {
            EXPECT_GT(static_cast<std::int64_t>(extractEnvelopes(record.samples, CyclicOptions{0.0}).reversals.size()),
                      10 * row.reversals);
        }
        for (EnvelopeChoice choice : {EnvelopeChoice::First, EnvelopeChoice::Last, EnvelopeChoice::Max}) {
            SCOPED_TRACE(keyOf(choice));
            const CyclicEnvelopes e = extractEnvelopes(record.samples, options(choice));
            EXPECT_EQ(static_cast<std::int64_t>(e.reversals.size()), row.reversals);
            EXPECT_EQ(e.excursionCount, row.excursions);
            for (Direction dir : {Direction::Positive, Direction::Negative}) {
                SCOPED_TRACE(keyOf(dir));
                const DirectionEnvelope& env = e.of(dir);
                const DirectionCounts& want = dir == Direction::Positive ? row.positive : row.negative;
                const std::vector<Tip>& tips = dir == Direction::Positive ? record.positiveTips : record.negativeTips;
                EXPECT_EQ(env.reversalCount, want.reversals);
                EXPECT_EQ(cyclesPerPhase(env), want.cyclesPerPhase);
                EXPECT_EQ(env.message.isEmpty(), !want.cyclesPerPhase.empty()) << env.message.toStdString();
                std::vector<Point> expected = expectedEnvelope(row, tips, dir, choice);
                // The partial last excursion is the last cycle of its phase.
                if (row.shape.endFraction > 0.0 && dir == Direction::Positive && choice == EnvelopeChoice::Last)
                    expected.back() = record.samples.back();
                EXPECT_TRUE(samePoints(env.points, expected));
                // Every tip here is its excursion's largest load too.
                EXPECT_TRUE(samePoints(
                    extractEnvelopes(record.samples, options(choice, PeakChoice::Displacement)).of(dir).points,
                    expected));
            }
        }
    }
}

TEST(CyclicEnvelope, MonotonicRecordIsOneExcursion)
{
    // A push-over with a descending branch: no reversal, one positive phase.
    const test::Backbone backbone = linearBackbone();
    std::vector<Point> record;
    for (int k = 0; k <= 60; ++k)
        record.push_back({0.5 * k, backbone(0.5 * k)});
    for (PeakChoice peak : {PeakChoice::Load, PeakChoice::Displacement}) {
        const CyclicEnvelopes e = extractEnvelopes(record, options(EnvelopeChoice::First, peak));
        EXPECT_TRUE(e.reversals.empty());
        EXPECT_EQ(e.excursionCount, 1);
        const Point want = peak == PeakChoice::Load ? Point{20, 80} : Point{30, 60};
        EXPECT_TRUE(samePoints(e.positive.points, {{0, 0}, want}));
        EXPECT_EQ(e.negative.message, QStringLiteral("no negative excursion beyond the dead band"));
        EXPECT_TRUE(e.negative.points.empty());
    }
}

// --- small records worked by hand ----------------------------------------------------------

struct ExpectedDirection {
    std::vector<Excursion> excursions;  // start, end, peak, phase
    std::vector<Point> points;
};

struct HandRow {
    const char* name;
    std::vector<Point> samples;
    CyclicOptions options;
    std::vector<std::int64_t> reversals;
    std::int64_t excursions;
    ExpectedDirection positive;
    ExpectedDirection negative;
};

// The worked example of docs/cyclic.md: dead band 0.05 * 12 = 0.6.
const std::vector<Point> kWorkedExample{{0, 0},    {1, 8},    {2, 14},   {3, 17},   {2, 9},    {0, -2}, {-1, -8},
                                        {-2, -13}, {-3, -16}, {-2, -8},  {0, 1},    {2, 11},   {3, 15}, {1, 4},
                                        {-1, -6},  {-3, -14}, {-1, -4},  {1, 6},    {3, 16},   {5, 20}, {6, 19},
                                        {4, 10},   {0, -3},   {-3, -12}, {-6, -21}, {-4, -12}, {-1, -2}};

std::vector<HandRow> handRows()
{
    const std::vector<std::int64_t> workedReversals{3, 8, 12, 15, 20, 24};
    const std::vector<Excursion> workedNegative{{3, 8, 8, 0}, {12, 15, 15, 0}, {20, 24, 24, 1}};
    const std::vector<Point> workedNegativeFirst{{0, 0}, {3, 16}, {6, 21}};
    return {
        {"worked example, first cycle, peak by load",
         kWorkedExample,
         options(EnvelopeChoice::First, PeakChoice::Load, 0.05),
         workedReversals,
         7,
         {{{0, 3, 3, 0}, {8, 12, 12, 0}, {15, 20, 19, 1}}, {{0, 0}, {3, 17}, {5, 20}}},
         {workedNegative, workedNegativeFirst}},
        {"worked example, last cycle",
         kWorkedExample,
         options(EnvelopeChoice::Last, PeakChoice::Load, 0.05),
         workedReversals,
         7,
         {{{0, 3, 3, 0}, {8, 12, 12, 0}, {15, 20, 19, 1}}, {{0, 0}, {3, 15}, {5, 20}}},
         {workedNegative, {{0, 0}, {3, 14}, {6, 21}}}},
        {"worked example, max cycle",
         kWorkedExample,
         options(EnvelopeChoice::Max, PeakChoice::Load, 0.05),
         workedReversals,
         7,
         {{{0, 3, 3, 0}, {8, 12, 12, 0}, {15, 20, 19, 1}}, {{0, 0}, {3, 17}, {5, 20}}},
         {workedNegative, workedNegativeFirst}},
        {"worked example, peak by displacement",
         kWorkedExample,
         options(EnvelopeChoice::First, PeakChoice::Displacement, 0.05),
         workedReversals,
         7,
         {{{0, 3, 3, 0}, {8, 12, 12, 0}, {15, 20, 20, 1}}, {{0, 0}, {3, 17}, {6, 19}}},
         {workedNegative, workedNegativeFirst}},
        // Two samples share the largest displacement: the first is the reversal point. Two
        // share the largest load: the first is the peak.
        {"equal displacements and equal loads",
         {{0, 0}, {1, 9}, {2, 9}, {2, 8}, {1, 2}, {-2, -5}, {0, 0}},
         options(EnvelopeChoice::First, PeakChoice::Load, 0.1),
         {2, 5},
         3,
         {{{0, 2, 1, 0}}, {{0, 0}, {1, 9}}},
         {{{2, 5, 5, 0}}, {{0, 0}, {2, 5}}}},
        // Sample 2 lies back within h of the candidate and carries the run's largest load; sample
        // 6 follows the reversal point 5, so it belongs to the next (rising) run.
        {"samples past a candidate",
         {{0, 0}, {2, 5}, {1.8, 9}, {3, 6}, {1, 1}, {-3, -4}, {-2.9, -10}, {0, 0}},
         options(EnvelopeChoice::First, PeakChoice::Load, 0.05),
         {3, 5},
         3,
         {{{0, 3, 2, 0}}, {{0, 0}, {1.8, 9}}},
         {{{3, 5, 5, 0}}, {{0, 0}, {3, 4}}}},
        // The last run turned back by less than h: it ends at the last sample all the same.
        {"record ending just after a tip",
         {{0, 0}, {5, 10}, {0, 0}, {-5, -10}, {-4.2, -6}},
         options(EnvelopeChoice::First, PeakChoice::Displacement, 0.1),
         {1},
         2,
         {{{0, 1, 1, 0}}, {{0, 0}, {5, 10}}},
         {{{1, 4, 4, 0}}, {{0, 0}, {4.2, 6}}}},
        // Out by 1.5 h, back by 0.9 h: the last run ends 0.6 h from its start and does not count.
        {"last run within the dead band",
         {{0, 0}, {5, 10}, {3.5, 4}, {4.4, 6}},
         options(EnvelopeChoice::First, PeakChoice::Load, 0.2),
         {1},
         1,
         {{{0, 1, 1, 0}}, {{0, 0}, {5, 10}}},
         {{}, {}}},
        {"falling first, from away from zero",
         {{1, 2}, {1.3, 3}, {0.8, 1}, {-2, -6}, {-4, -9}, {0, 0}, {4, 8}, {2, 3}},
         options(EnvelopeChoice::First, PeakChoice::Load, 0.05),
         {4, 6},
         3,
         {{{4, 6, 6, 0}}, {{0, 0}, {4, 8}}},
         {{{0, 4, 4, 0}}, {{0, 0}, {4, 9}}}},
        // Max: the larger load in the direction's sense, the earlier of equal ones. The negative
        // peaks carry positive loads (3, 5, 1): the one nearest to the negative side is taken.
        {"max cycle, equal and wrong-signed peaks",
         {{0, 0}, {4, 10}, {-4, 3}, {4, 12}, {-4, 5}, {4, 12}, {-4, 1}, {0, 0}},
         options(EnvelopeChoice::Max, PeakChoice::Load, 0.05),
         {1, 2, 3, 4, 5, 6},
         7,
         {{{0, 1, 1, 0}, {2, 3, 3, 0}, {4, 5, 5, 0}}, {{0, 0}, {4, 12}}},
         {{{1, 2, 2, 0}, {3, 4, 4, 0}, {5, 6, 6, 0}}, {{0, 0}, {4, -1}}}},
        {"tolerance 0: every turn counts",
         {{0, 0}, {1, 1}, {0.9, 1.1}, {2, 2}, {0, 0}},
         options(EnvelopeChoice::First, PeakChoice::Load, 0.0),
         {1, 2, 3},
         4,
         {{{0, 1, 1, 0}, {2, 3, 3, 1}}, {{0, 0}, {1, 1}, {2, 2}}},
         {{}, {}}},
        {"the same turn inside the dead band",
         {{0, 0}, {1, 1}, {0.9, 1.1}, {2, 2}, {0, 0}},
         options(EnvelopeChoice::First, PeakChoice::Load, 0.1),
         {3},
         2,
         {{{0, 3, 3, 0}}, {{0, 0}, {2, 2}}},
         {{}, {}}},
        // With a tolerance under one half some sample always lies beyond the dead band of the
        // first, unless the displacement never changes.
        {"displacement never changes",
         {{1, 0}, {1, 5}, {1, -5}},
         options(EnvelopeChoice::First, PeakChoice::Load, 0.49),
         {},
         0,
         {{}, {}},
         {{}, {}}},
        {"one sample", {{3, 4}}, options(EnvelopeChoice::First), {}, 0, {{}, {}}, {{}, {}}},
        {"no sample", {}, options(EnvelopeChoice::First), {}, 0, {{}, {}}, {{}, {}}},
    };
}

TEST(CyclicEnvelope, SmallRecordsWorkedByHand)
{
    for (const HandRow& row : handRows()) {
        SCOPED_TRACE(row.name);
        const CyclicEnvelopes e = extractEnvelopes(row.samples, row.options);
        EXPECT_EQ(e.sampleCount, static_cast<std::int64_t>(row.samples.size()));
        EXPECT_EQ(e.reversals, row.reversals);
        EXPECT_EQ(e.excursionCount, row.excursions);
        for (Direction dir : {Direction::Positive, Direction::Negative}) {
            SCOPED_TRACE(keyOf(dir));
            const ExpectedDirection& want = dir == Direction::Positive ? row.positive : row.negative;
            EXPECT_EQ(e.of(dir).excursions, want.excursions);
            EXPECT_TRUE(samePoints(e.of(dir).points, want.points));
            EXPECT_EQ(e.of(dir).message, want.points.empty() ? noExcursionMessage(dir) : QString());
        }
        EXPECT_EQ(e.positive.reversalCount + e.negative.reversalCount, static_cast<std::int64_t>(e.reversals.size()));
    }
}

TEST(CyclicEnvelope, MirroredZeroLoadIsPositiveZero)
{
    const std::vector<Point> record{{0, 0}, {2, 1}, {-2, -0.0}, {-1.9, 0.0}, {0, 0}};
    const DirectionEnvelope neg = extractEnvelopes(record, options(EnvelopeChoice::First)).negative;
    EXPECT_TRUE(samePoints(neg.points, {{0, 0}, {2, 0.0}}));
}

TEST(CyclicEnvelope, FaultsOfTheRecord)
{
    const double big = 1e308;
    try {
        extractEnvelopes(std::vector<Point>{{0, 0}, {big, 1}, {-big, -1}}, CyclicOptions{});
        ADD_FAILURE() << "a range beyond the double range passed";
    } catch (const ArithmeticError& e) {
        EXPECT_EQ(e.kind(), ArithmeticError::Kind::Overflow);
    }
    // Just inside the range: the dead band and every difference stay finite.
    const CyclicEnvelopes edge =
        extractEnvelopes(std::vector<Point>{{0, 0}, {0.8e308, 1}, {-0.8e308, -1}, {0, 0}}, CyclicOptions{0.49});
    EXPECT_EQ(edge.reversals, (std::vector<std::int64_t>{1, 2}));
    for (double bad : {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_THROW(extractEnvelopes(std::vector<Point>{{0, 0}, {bad, 1}}, CyclicOptions{}), std::invalid_argument);
        EXPECT_THROW(extractEnvelopes(std::vector<Point>{{0, 0}, {1, bad}}, CyclicOptions{}), std::invalid_argument);
    }
}

// --- the one walk against the literal definitions ----------------------------------------

TEST(CyclicEnvelope, AgreesWithTheLiteralDefinitions)
{
    std::mt19937_64 random(12);
    std::uniform_int_distribution<int> grid(-6, 6);  // coarse values: ties everywhere
    std::uniform_real_distribution<double> fine(-1.0, 1.0);
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<Point> record;
        const int n = 1 + trial % 60;
        double d = 0.0;
        for (int k = 0; k < n; ++k) {
            if (trial % 2 == 0)
                record.push_back({static_cast<double>(grid(random)), static_cast<double>(grid(random))});
            else
                record.push_back({d += fine(random), fine(random) * 10.0});
        }
        for (double tolerance : {0.0, 0.05, 0.2}) {
            for (EnvelopeChoice env : {EnvelopeChoice::First, EnvelopeChoice::Last, EnvelopeChoice::Max}) {
                for (PeakChoice peak : {PeakChoice::Load, PeakChoice::Displacement}) {
                    const CyclicOptions o{tolerance, env, peak};
                    const CyclicEnvelopes got = extractEnvelopes(record, o);
                    if (!(got == test::referenceEnvelopes(record, o))) {
                        ADD_FAILURE() << "trial " << trial << ", tolerance " << tolerance << ", " << keyOf(env) << ", "
                                      << keyOf(peak) << ": " << text(record);
                        return;
                    }
                }
            }
        }
    }
}

// --- the analysis of an envelope ------------------------------------------------------------

// The envelope's points written to a file in the order given, imported and calculated by the
// window's model, against the core functions on the envelope stored by assignStableSorted.
void expectSameAnalysisAsMonotonicFile(const std::vector<Point>& envelope)
{
    Series curve;
    curve.assignStableSorted(envelope);
    const test::CurveAnalysis core = test::analyseCurve(curve);

    std::string file = "displacement,load\n";
    for (const Point& p : envelope)
        file += test::exactText(p.x) + "," + test::exactText(p.y) + "\n";
    QTemporaryDir dir;
    const QString path = test::writeFile(dir, QStringLiteral("envelope.csv"), QByteArray::fromStdString(file));
    test::RecordingUi ui;
    Workbench wb(ui, u'.', dir.path());
    wb.importConfirmed(path);
    wb.btn1Click();
    ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());

    AnalysisState want = core.state;
    want.ResultBaseName = wb.state().ResultBaseName;
    want.SourceDataPath = wb.state().SourceDataPath;
    EXPECT_TRUE(test::sameState(wb.state(), want));
    EXPECT_TRUE(samePoints(test::pointsOf(wb, SeriesId::lnsrsSeries4), curve.points()));
    EXPECT_TRUE(samePoints(test::pointsOf(wb, SeriesId::pntsrsSeries5), core.ultimateMarker));
    // The line series keep their points sorted; the methods give them in drawing order.
    auto sorted = [](std::vector<Point> pts) {
        Series s;
        s.assignStableSorted(std::move(pts));
        return s.points();
    };
    EXPECT_TRUE(samePoints(test::pointsOf(wb, SeriesId::lnsrsSeries1), sorted(core.geometricLine)));
    EXPECT_TRUE(samePoints(test::pointsOf(wb, SeriesId::lnsrsSeries2), sorted(core.parkLine)));
    EXPECT_TRUE(samePoints(test::pointsOf(wb, SeriesId::lnsrsSeries3), sorted(core.energyLine)));
    EXPECT_TRUE(samePoints(test::pointsOf(wb, SeriesId::pntsrsSeries3), core.energyPoint));
}

TEST(CyclicEnvelope, AnalysisOfEachEnvelopeIsThatOfAMonotonicFile)
{
    for (const GeneratedRow& row : generatedRows()) {
        SCOPED_TRACE(row.name);
        const CyclicEnvelopes e = extractEnvelopes(test::makeCyclicRecord(row.shape).samples, CyclicOptions{});
        for (const DirectionEnvelope* env : {&e.positive, &e.negative}) {
            SCOPED_TRACE(keyOf(env->direction));
            if (!env->points.empty())
                expectSameAnalysisAsMonotonicFile(env->points);
        }
    }
}

// --- real records ----------------------------------------------------------------------------

struct RealRow {
    const char* file;
    std::int64_t samples, reversals, excursions;
    std::vector<int> positiveCycles, negativeCycles;
};

// The counts in tests/data/cyclic/README.md, checked there against pictures of each record.
const RealRow kRealRows[] = {
    {"cfs_steel_screw_connection_cyclic_01.csv", 29493, 46, 47, {7, 2, 2, 2, 2, 2, 1, 1, 2, 2}, {12, 2, 2, 2, 2, 2, 1}},
    {"cfs_stud_to_osb_connection_cyclic_01.csv",
     8045,
     86,
     87,
     {14, 4, 4, 3, 3, 3, 3, 3, 3, 3},
     {14, 4, 4, 3, 3, 3, 3, 3, 3, 3, 1}},
    {"clt_rocking_wall_cyclic_01.csv", 9281, 65, 66, {3, 3, 3, 3, 3, 3, 3, 3, 3, 1}, {15, 3, 3, 3, 3, 3, 3}},
    {"clt_shear_wall_psp_connection_cyclic_01.csv", 33028, 56, 57, {5, 5, 5, 3, 3, 3, 3, 2}, {5, 5, 5, 3, 3, 3, 3, 1}},
};

TEST(CyclicEnvelope, RealRecords)
{
    for (const RealRow& row : kRealRows) {
        SCOPED_TRACE(row.file);
        const QString path = QStringLiteral(RZ_TEST_DATA_DIR "/cyclic/") + QString::fromLatin1(row.file);
        const CurveReadResult read = readCurve(decodeText(readWholeFile(path)), u'.');
        ASSERT_EQ(read.badLine, -1);
        const CyclicEnvelopes e = extractEnvelopes(read.points, CyclicOptions{});
        EXPECT_EQ(e.sampleCount, row.samples);
        EXPECT_EQ(static_cast<std::int64_t>(e.reversals.size()), row.reversals);
        EXPECT_EQ(e.excursionCount, row.excursions);
        EXPECT_EQ(cyclesPerPhase(e.positive), row.positiveCycles);
        EXPECT_EQ(cyclesPerPhase(e.negative), row.negativeCycles);
        for (const DirectionEnvelope* env : {&e.positive, &e.negative}) {
            SCOPED_TRACE(keyOf(env->direction));
            expectSameAnalysisAsMonotonicFile(env->points);
        }
    }
}

}  // namespace
}  // namespace rz
