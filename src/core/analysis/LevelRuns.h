#pragma once

#include "core/chart/Series.h"

namespace rz {

// The first segment i in [from, to) whose two loads are not both above p nor both below it,
// or to (to <= the last point's index). No segment before it crosses p, reaches it or
// encloses it, so the searches for a load skip that run with one comparison a point instead
// of their whole test: on a long curve the ultimate and the failure displacements are sought
// over most of the points while Calculate waits for them. A load equal to p, or NaN, ends
// the run; the search's own test then decides.
int endOfOneSide(const Series& curve, double p, int from, int to);

}  // namespace rz
