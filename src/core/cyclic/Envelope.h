#pragma once

#include "core/chart/Series.h"
#include "core/cyclic/CyclicOptions.h"

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

// Envelope curves of a cyclic (reversed) load-displacement record: the record is read in
// file order, split at its displacement reversals into excursions, the excursions of each
// direction are grouped into phases of equal amplitude, and one peak per phase makes that
// direction's envelope. docs/cyclic.md gives the definitions with a worked example.
//
// Samples are (x = displacement d, y = load f). Sample indices count from 0 in file order.
namespace rz {

// A run of samples from one reversal point to the next, both included. The first run
// starts at the first sample, the last one ends at the last sample.
struct Excursion {
    std::int64_t start = 0;  // its first sample: a reversal point or the record's first sample
    std::int64_t end = 0;    // its end point: a reversal point or the record's last sample
    std::int64_t peak = 0;   // its peak sample, by the peak option
    int phase = 0;           // index into the direction's phases
    friend bool operator==(const Excursion&, const Excursion&) = default;
};

// Consecutive excursions of one direction with about the same amplitude.
struct Phase {
    int firstExcursion = 0;   // index into the direction's excursions
    int excursionCount = 0;   // cycles in the phase
    int chosenExcursion = 0;  // the cycle whose peak is the envelope point, by the envelope option
    friend bool operator==(const Phase&, const Phase&) = default;
};

struct DirectionEnvelope {
    Direction direction = Direction::Positive;
    // Reversal points where the displacement turned back from this direction: the maxima
    // for the positive direction, the minima for the negative one.
    std::int64_t reversalCount = 0;
    std::vector<Excursion> excursions;  // this direction's excursions, in file order
    std::vector<Phase> phases;          // in file order
    // The origin (0, 0), then the chosen peak of each phase in phase order; the negative
    // direction's points mirrored to (-d, -f). Empty when there is no phase. Phase order is
    // usually ascending displacement but need not be (docs/cyclic.md); the curve store sorts
    // it (Series::assignStableSorted).
    std::vector<Point> points;
    std::vector<std::int64_t> peakSamples;  // the sample behind points[i + 1]
    QString message;                        // empty when there is a phase
    friend bool operator==(const DirectionEnvelope&, const DirectionEnvelope&) = default;
};

struct CyclicEnvelopes {
    std::int64_t sampleCount = 0;
    double deadBand = 0.0;                // h = tolerance * (max d - min d)
    std::vector<std::int64_t> reversals;  // reversal points of both directions, in file order
    std::int64_t excursionCount = 0;      // all excursions, also those of neither direction
    DirectionEnvelope positive;
    DirectionEnvelope negative;

    const DirectionEnvelope& of(Direction d) const { return d == Direction::Positive ? positive : negative; }
    friend bool operator==(const CyclicEnvelopes&, const CyclicEnvelopes&) = default;
};

// "no positive excursion beyond the dead band" / "no negative ...".
QString noExcursionMessage(Direction direction);

// One walk over the samples (after one for the displacement range): O(N) time, memory in
// the number of reversals. Samples must be finite (std::invalid_argument otherwise), as must
// the tolerance be valid (toleranceIsValid). A displacement range beyond the double range
// throws ArithmeticError (overflow). Anything else, however odd, gives a result.
CyclicEnvelopes extractEnvelopes(std::span<const Point> samples, const CyclicOptions& options);

}  // namespace rz
