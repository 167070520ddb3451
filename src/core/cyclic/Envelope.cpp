#include "core/cyclic/Envelope.h"

#include "core/analysis/Arithmetic.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace rz {

namespace {

constexpr std::int64_t kNone = -1;

// Peak candidates of a stretch of consecutive samples: the first sample with the largest
// load among those with d > 0, and the first with the smallest load among those with d < 0.
struct Extremes {
    std::int64_t largestPositive = kNone;
    std::int64_t smallestNegative = kNone;

    void add(std::span<const Point> s, std::int64_t k)
    {
        const Point& p = s[static_cast<std::size_t>(k)];
        if (p.x > 0.0) {
            if (largestPositive == kNone || p.y > s[static_cast<std::size_t>(largestPositive)].y)
                largestPositive = k;
        } else if (p.x < 0.0) {
            if (smallestNegative == kNone || p.y < s[static_cast<std::size_t>(smallestNegative)].y)
                smallestNegative = k;
        }
    }

    // later holds samples that all come after these: on equal loads the earlier sample stays.
    void append(std::span<const Point> s, const Extremes& later)
    {
        if (later.largestPositive != kNone &&
            (largestPositive == kNone ||
             s[static_cast<std::size_t>(later.largestPositive)].y > s[static_cast<std::size_t>(largestPositive)].y))
            largestPositive = later.largestPositive;
        if (later.smallestNegative != kNone &&
            (smallestNegative == kNone ||
             s[static_cast<std::size_t>(later.smallestNegative)].y < s[static_cast<std::size_t>(smallestNegative)].y))
            smallestNegative = later.smallestNegative;
    }
};

// Collects one direction's excursions as they close and groups them into phases. Values are
// taken "in the direction's sense": as they are for the positive direction, negated for the
// negative one, so that one set of comparisons serves both. 0.0 - v negates exactly and
// gives +0 for a zero, so a mirrored point never holds -0.
class DirectionBuilder {
public:
    DirectionBuilder(Direction direction, const CyclicOptions& options, double deadBand, std::span<const Point> s)
        : options_(options), deadBand_(deadBand), samples_(s)
    {
        out_.direction = direction;
    }

    void countReversal() { ++out_.reversalCount; }

    // An excursion of this direction has closed; loadPeak is its largest load on this side.
    void take(std::int64_t start, std::int64_t end, std::int64_t loadPeak)
    {
        const int index = static_cast<int>(out_.excursions.size());
        Excursion e{start, end, options_.peak == PeakChoice::Load ? loadPeak : end, 0};
        // Every amplitude lies within the displacement range, so the difference cannot overflow.
        const double amplitude = sense(at(end).x);
        if (out_.phases.empty() || amplitude - largestAmplitude_ > deadBand_)
            out_.phases.push_back(Phase{index, 0, index});
        largestAmplitude_ = out_.excursions.empty() ? amplitude : std::max(largestAmplitude_, amplitude);

        Phase& phase = out_.phases.back();
        e.phase = static_cast<int>(out_.phases.size()) - 1;
        ++phase.excursionCount;
        switch (options_.envelope) {
            case EnvelopeChoice::First:
                break;
            case EnvelopeChoice::Last:
                phase.chosenExcursion = index;
                break;
            case EnvelopeChoice::Max:
                // Equal loads keep the earlier cycle.
                if (phase.chosenExcursion != index &&
                    sense(at(e.peak).y) >
                        sense(at(out_.excursions[static_cast<std::size_t>(phase.chosenExcursion)].peak).y))
                    phase.chosenExcursion = index;
                break;
        }
        out_.excursions.push_back(e);
    }

    DirectionEnvelope finish()
    {
        if (out_.phases.empty()) {
            out_.message = noExcursionMessage(out_.direction);
            return std::move(out_);
        }
        out_.points.reserve(out_.phases.size() + 1);
        out_.peakSamples.reserve(out_.phases.size());
        out_.points.push_back(Point{0.0, 0.0});
        for (const Phase& phase : out_.phases) {
            const std::int64_t k = out_.excursions[static_cast<std::size_t>(phase.chosenExcursion)].peak;
            out_.points.push_back(Point{sense(at(k).x), sense(at(k).y)});
            out_.peakSamples.push_back(k);
        }
        return std::move(out_);
    }

private:
    double sense(double v) const { return out_.direction == Direction::Positive ? v : 0.0 - v; }
    const Point& at(std::int64_t k) const { return samples_[static_cast<std::size_t>(k)]; }

    const CyclicOptions& options_;
    double deadBand_;
    std::span<const Point> samples_;
    double largestAmplitude_ = 0.0;
    DirectionEnvelope out_;
};

}  // namespace

QString noExcursionMessage(Direction direction)
{
    return direction == Direction::Positive ? QStringLiteral("no positive excursion beyond the dead band")
                                            : QStringLiteral("no negative excursion beyond the dead band");
}

CyclicEnvelopes extractEnvelopes(std::span<const Point> samples, const CyclicOptions& options)
{
    if (!toleranceIsValid(options.tolerance))
        throw std::invalid_argument("cyclic tolerance outside 0 <= t < 0.5");

    CyclicEnvelopes result;
    const std::int64_t n = static_cast<std::int64_t>(samples.size());
    result.sampleCount = n;
    auto d = [samples](std::int64_t k) { return samples[static_cast<std::size_t>(k)].x; };

    double lowest = 0.0;
    double highest = 0.0;
    for (std::int64_t k = 0; k < n; ++k) {
        const Point& p = samples[static_cast<std::size_t>(k)];
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            throw std::invalid_argument("cyclic record with a non-finite sample");
        if (k == 0 || p.x < lowest)
            lowest = p.x;
        if (k == 0 || p.x > highest)
            highest = p.x;
    }
    // Beyond this point every difference of two displacements lies within the range, so
    // none of them can overflow.
    const double deadBand = checkedMul(options.tolerance, checkedSub(highest, lowest));
    result.deadBand = deadBand;

    DirectionBuilder positive(Direction::Positive, options, deadBand, samples);
    DirectionBuilder negative(Direction::Negative, options, deadBand, samples);
    auto closeRun = [&](std::int64_t start, std::int64_t end, bool rising, const Extremes& extremes) {
        ++result.excursionCount;
        if (rising && d(end) > 0.0)
            positive.take(start, end, extremes.largestPositive);
        else if (!rising && d(end) < 0.0)
            negative.take(start, end, extremes.smallestNegative);
    };

    if (n > 0) {
        int sense = 0;               // +1 rising, -1 falling, 0 not yet known
        std::int64_t start = 0;      // first sample of the current run
        std::int64_t candidate = 0;  // its extreme so far: the first sample with the farthest displacement
        Extremes settled;            // samples start .. candidate
        Extremes pending;            // samples after the candidate
        settled.add(samples, 0);
        const double first = d(0);
        for (std::int64_t k = 1; k < n; ++k) {
            const double dk = d(k);
            if (sense == 0) {
                settled.add(samples, k);
                // Every sample before k lies within h of the first, so k is the run's extreme.
                if (dk - first > deadBand)
                    sense = 1;
                else if (first - dk > deadBand)
                    sense = -1;
                if (sense != 0)
                    candidate = k;
                continue;
            }
            const double dc = d(candidate);
            const bool beyond = sense > 0 ? dk > dc : dk < dc;
            const double back = sense > 0 ? dc - dk : dk - dc;
            if (beyond) {
                settled.append(samples, pending);
                settled.add(samples, k);
                pending = Extremes{};
                candidate = k;
            } else if (back > deadBand) {
                closeRun(start, candidate, sense > 0, settled);
                result.reversals.push_back(candidate);
                (sense > 0 ? positive : negative).countReversal();
                // The reversal point is both the end of this run and the start of the next.
                Extremes next;
                next.add(samples, candidate);
                next.append(samples, pending);
                next.add(samples, k);
                settled = next;
                pending = Extremes{};
                start = candidate;
                candidate = k;  // more than h back, and everything between lay within h
                sense = -sense;
            } else {
                pending.add(samples, k);
            }
        }
        // The last run ends at the last sample and counts when that lies more than h beyond
        // its start in the run's direction.
        if (sense != 0) {
            settled.append(samples, pending);
            const double moved = sense > 0 ? d(n - 1) - d(start) : d(start) - d(n - 1);
            if (moved > deadBand)
                closeRun(start, n - 1, sense > 0, settled);
        }
    }

    result.positive = positive.finish();
    result.negative = negative.finish();
    return result;
}

}  // namespace rz
