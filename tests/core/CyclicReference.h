#pragma once

// The cyclic definitions written out again the slow, literal way, as an oracle for the
// one-walk extraction: the candidate is searched afresh at every sample, and each
// excursion's peak, phase and envelope cycle come from separate passes over plain lists.
// Quadratic in the worst case: for small records only (tests, fuzzing). No framework here:
// the fuzz target includes it too.
#include "core/cyclic/Envelope.h"

#include <cstdint>
#include <vector>

namespace rz::test {

inline CyclicEnvelopes referenceEnvelopes(const std::vector<Point>& s, const CyclicOptions& o)
{
    CyclicEnvelopes r;
    const std::int64_t n = static_cast<std::int64_t>(s.size());
    r.sampleCount = n;
    r.positive.direction = Direction::Positive;
    r.negative.direction = Direction::Negative;
    auto d = [&](std::int64_t k) { return s[static_cast<std::size_t>(k)].x; };
    auto f = [&](std::int64_t k) { return s[static_cast<std::size_t>(k)].y; };

    if (n > 0) {
        double lo = d(0), hi = d(0);
        for (std::int64_t k = 1; k < n; ++k) {
            lo = d(k) < lo ? d(k) : lo;
            hi = d(k) > hi ? d(k) : hi;
        }
        r.deadBand = o.tolerance * (hi - lo);
    }
    const double h = r.deadBand;

    // Reversals: dir +1 rising, -1 falling.
    struct Run {
        std::int64_t start, end;
        int dir;
    };
    std::vector<Run> runs;
    int dir = 0;
    std::int64_t start = 0;
    for (std::int64_t k = 1; k < n; ++k) {
        if (dir == 0) {
            if (d(k) - d(0) > h)
                dir = 1;
            else if (d(0) - d(k) > h)
                dir = -1;
            continue;
        }
        std::int64_t c = start;
        for (std::int64_t j = start + 1; j <= k; ++j) {
            if (dir * d(j) > dir * d(c))
                c = j;
        }
        if (dir * (d(c) - d(k)) > h) {
            runs.push_back({start, c, dir});
            r.reversals.push_back(c);
            ++(dir > 0 ? r.positive : r.negative).reversalCount;
            start = c;
            dir = -dir;
        }
    }
    if (dir != 0 && dir * (d(n - 1) - d(start)) > h)
        runs.push_back({start, n - 1, dir});
    r.excursionCount = static_cast<std::int64_t>(runs.size());

    for (DirectionEnvelope* env : {&r.positive, &r.negative}) {
        const int sign = env->direction == Direction::Positive ? 1 : -1;
        auto sense = [sign](double v) { return sign > 0 ? v : 0.0 - v; };
        for (const Run& run : runs) {
            if (run.dir != sign || !(sense(d(run.end)) > 0.0))
                continue;
            std::int64_t peak = -1;
            for (std::int64_t j = run.start; j <= run.end; ++j) {
                if (sense(d(j)) > 0.0 && (peak < 0 || sense(f(j)) > sense(f(peak))))
                    peak = j;
            }
            env->excursions.push_back({run.start, run.end, o.peak == PeakChoice::Load ? peak : run.end, 0});
        }
        for (std::size_t i = 0; i < env->excursions.size(); ++i) {
            Excursion& e = env->excursions[i];
            bool newPhase = i == 0;
            if (i > 0) {
                double largest = sense(d(env->excursions[0].end));
                for (std::size_t j = 1; j < i; ++j)
                    largest = sense(d(env->excursions[j].end)) > largest ? sense(d(env->excursions[j].end)) : largest;
                newPhase = sense(d(e.end)) - largest > h;
            }
            if (newPhase)
                env->phases.push_back({static_cast<int>(i), 0, static_cast<int>(i)});
            e.phase = static_cast<int>(env->phases.size()) - 1;
            ++env->phases.back().excursionCount;
        }
        for (Phase& ph : env->phases) {
            const int last = ph.firstExcursion + ph.excursionCount - 1;
            if (o.envelope == EnvelopeChoice::Last)
                ph.chosenExcursion = last;
            if (o.envelope == EnvelopeChoice::Max) {
                for (int i = ph.firstExcursion + 1; i <= last; ++i) {
                    const auto load = [&](int x) {
                        return sense(f(env->excursions[static_cast<std::size_t>(x)].peak));
                    };
                    if (load(i) > load(ph.chosenExcursion))
                        ph.chosenExcursion = i;
                }
            }
        }
        if (env->phases.empty()) {
            env->message = noExcursionMessage(env->direction);
            continue;
        }
        env->points.push_back({0.0, 0.0});
        for (const Phase& ph : env->phases) {
            const std::int64_t k = env->excursions[static_cast<std::size_t>(ph.chosenExcursion)].peak;
            env->points.push_back({sense(d(k)), sense(f(k))});
            env->peakSamples.push_back(k);
        }
    }
    return r;
}

}  // namespace rz::test
