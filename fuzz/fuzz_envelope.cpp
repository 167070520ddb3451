// A fuzzed cyclic record through the envelope extraction, against the literal definitions
// (tests/core/CyclicReference.h) and the invariants every result keeps. Byte 0 gives the
// tolerance, byte 1 the envelope and peak choices and the scale; then two bytes per sample
// (displacement, load) on a coarse grid, so that equal values and reversals abound.
#include "CyclicReference.h"
#include "core/analysis/Arithmetic.h"
#include "core/cyclic/Envelope.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

using rz::Direction;
using rz::Point;

void checkDirection(const rz::DirectionEnvelope& env, const std::vector<Point>& s, const rz::CyclicOptions& o, double h)
{
    auto sense = [&](double v) { return env.direction == Direction::Positive ? v : 0.0 - v; };
    auto at = [&](std::int64_t k) { return s[static_cast<std::size_t>(k)]; };
    const auto n = static_cast<std::int64_t>(s.size());
    std::int64_t previousEnd = -1;
    for (const rz::Excursion& e : env.excursions) {
        require(0 <= e.start && e.start < e.end && e.end < n, "excursion bounds");
        require(e.start >= previousEnd, "excursions overlap beyond a reversal point");
        previousEnd = e.end;
        require(sense(at(e.end).x) > 0.0, "excursion ends on the wrong side");
        require(sense(at(e.end).x) - sense(at(e.start).x) > h, "excursion within the dead band");
        require(e.start <= e.peak && e.peak <= e.end && sense(at(e.peak).x) > 0.0, "peak outside its excursion");
        if (o.peak == rz::PeakChoice::Displacement)
            require(e.peak == e.end, "displacement peak is not the end point");
    }
    int expectedFirst = 0;
    double largest = 0.0;
    for (std::size_t i = 0; i < env.phases.size(); ++i) {
        const rz::Phase& p = env.phases[i];
        require(p.firstExcursion == expectedFirst && p.excursionCount > 0, "phases do not tile the excursions");
        require(p.firstExcursion <= p.chosenExcursion && p.chosenExcursion < p.firstExcursion + p.excursionCount,
                "chosen cycle outside its phase");
        const double amplitude = sense(at(env.excursions[static_cast<std::size_t>(p.firstExcursion)].end).x);
        require(i == 0 || amplitude - largest > h, "a phase that does not outgrow the earlier ones");
        for (int j = p.firstExcursion; j < p.firstExcursion + p.excursionCount; ++j) {
            const double a = sense(at(env.excursions[static_cast<std::size_t>(j)].end).x);
            largest = j == 0 || a > largest ? a : largest;
        }
        expectedFirst += p.excursionCount;
    }
    require(expectedFirst == static_cast<int>(env.excursions.size()), "excursions outside every phase");
    require(env.message.isEmpty() == !env.phases.empty(), "message and phases disagree");
    require(env.points.empty() ? env.phases.empty() : env.points.size() == env.phases.size() + 1, "envelope size");
    require(env.peakSamples.size() == env.phases.size() || env.points.empty(), "peak samples");
    if (env.points.empty())
        return;
    require(env.points[0] == Point{0.0, 0.0} && !std::signbit(env.points[0].x),
            "envelope does not start at the origin");
    for (std::size_t i = 1; i < env.points.size(); ++i) {
        const Point sample = at(env.peakSamples[i - 1]);
        require(env.points[i] == Point{sense(sample.x), sense(sample.y)}, "envelope point is not a (mirrored) sample");
        require(env.points[i].x > 0.0, "envelope point at or before the origin");
        if (o.envelope == rz::EnvelopeChoice::First && o.peak == rz::PeakChoice::Displacement)
            require(env.points[i].x - env.points[i - 1].x > (i == 1 ? 0.0 : h), "first-cycle tips do not ascend");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    rz::CyclicOptions o;
    o.tolerance = (data[0] % 128) / 256.0;
    o.envelope = static_cast<rz::EnvelopeChoice>(data[1] % 3);
    o.peak = (data[1] / 3) % 2 == 0 ? rz::PeakChoice::Load : rz::PeakChoice::Displacement;
    // Now and then displacements near the double range, where max - min overflows.
    const double scale = (data[1] & 0x80) != 0 ? 1.2e306 : 0.25;
    std::vector<Point> s;
    for (std::size_t i = 2; i + 1 < size; i += 2)
        s.push_back(
            {static_cast<std::int8_t>(data[i]) * scale, static_cast<double>(static_cast<std::int8_t>(data[i + 1]))});

    bool overflow = false;
    if (!s.empty()) {
        double lo = s[0].x, hi = s[0].x;
        for (const Point& p : s)
            lo = p.x < lo ? p.x : lo, hi = p.x > hi ? p.x : hi;
        overflow = std::isinf(hi - lo);
    }
    rz::CyclicEnvelopes e;
    try {
        e = rz::extractEnvelopes(s, o);
    } catch (const rz::ArithmeticError& err) {
        require(overflow && err.kind() == rz::ArithmeticError::Kind::Overflow, "unexpected arithmetic error");
        return 0;
    }
    require(!overflow, "an overflowing range passed");
    require(e == rz::test::referenceEnvelopes(s, o), "differs from the literal definitions");

    require(e.sampleCount == static_cast<std::int64_t>(s.size()), "sample count");
    const auto reversals = static_cast<std::int64_t>(e.reversals.size());
    for (std::size_t i = 1; i < e.reversals.size(); ++i)
        require(e.reversals[i - 1] < e.reversals[i], "reversals out of order");
    require(e.positive.reversalCount + e.negative.reversalCount == reversals, "reversal counts");
    require(e.excursionCount == reversals || e.excursionCount == reversals + 1, "excursion count");
    require(static_cast<std::int64_t>(e.positive.excursions.size() + e.negative.excursions.size()) <= e.excursionCount,
            "more directional excursions than excursions");
    checkDirection(e.positive, s, o, e.deadBand);
    checkDirection(e.negative, s, o, e.deadBand);
    return 0;
}
