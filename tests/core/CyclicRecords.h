#pragma once

// Cyclic records made from a known backbone, and Calculate's steps as plain calls of the
// core analysis functions. No test framework here: the cyclic benchmark uses them too.
#include "core/analysis/Analysis.h"
#include "core/analysis/Arithmetic.h"
#include "core/chart/Series.h"
#include "core/workbench/AnalysisState.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <vector>

namespace rz::test {

// The load reached at displacement amplitude a >= 0 on a side (a magnitude: the negative
// side's load is its negation).
using Backbone = std::function<double(double)>;

// Straight segments through (0, 0) and the given (amplitude, load) corners, flat beyond.
inline Backbone piecewiseLinear(std::vector<Point> corners)
{
    return [corners](double a) {
        Point prev{0.0, 0.0};
        for (const Point& c : corners) {
            if (a <= c.x)
                return prev.y + (a - prev.x) * (c.y - prev.y) / (c.x - prev.x);
            prev = c;
        }
        return prev.y;
    };
}

// F (1 - exp(-k a / F)): initial stiffness k, approaching F.
inline Backbone exponential(double strength, double stiffness)
{
    return [strength, stiffness](double a) { return strength * (1.0 - std::exp(-stiffness * a / strength)); };
}

struct CyclicShape {
    Backbone positive;
    Backbone negative;
    std::vector<double> amplitudes;  // of the phases, increasing
    std::vector<int> cycles;         // per phase; empty: one each
    // Tip load of cycle j of a phase = factor[j] * backbone; factor 1 for the first cycle
    // keeps the backbone's own double. Missing entries repeat the last one.
    std::vector<double> cycleFactors{1.0};
    int stepsPerLeg = 24;
    // Loads along a leg follow start + (tip - start) * u^pinch, u the fraction of the leg:
    // 1 is a straight reload, larger values keep the load low until near the tip.
    double pinch = 1.0;
    // Largest displacement jitter added away from the tips (and load jitter below them).
    double jitter = 0.0;
    Point first{0.0, 0.0};     // the first sample
    bool oneSided = false;     // the negative legs return to zero displacement only
    double endFraction = 0.0;  // > 0: after the last cycle, rise to this fraction of the last
                               // amplitude and stop there (the record ends mid-excursion)
    bool returnToZero = true;  // end with a leg back to (0, 0) (ignored with endFraction)
    std::uint64_t seed = 1;
};

// One tip the generator placed, as sample index and value.
struct Tip {
    int phase = 0;
    int cycle = 0;
    std::int64_t index = 0;
    Point sample;
};

struct CyclicRecord {
    std::vector<Point> samples;
    std::vector<Tip> positiveTips;
    std::vector<Tip> negativeTips;
};

inline CyclicRecord makeCyclicRecord(const CyclicShape& shape)
{
    CyclicRecord out;
    std::mt19937_64 random(shape.seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    out.samples.push_back(shape.first);

    // From the last sample to (d, f): stepsPerLeg - 1 samples on the way, then the tip itself.
    auto leg = [&](double d, double f) {
        const Point from = out.samples.back();
        const int m = shape.stepsPerLeg;
        const double margin = std::abs(d - from.x) / m;
        for (int t = 1; t < m; ++t) {
            const double u = static_cast<double>(t) / m;
            double x = from.x + (d - from.x) * u;
            double y = from.y + (f - from.y) * std::pow(u, shape.pinch);
            // Jitter may step back (by less than the dead band, when chosen so) but stays more
            // than a step inside both ends, so no sample passes a tip.
            if (shape.jitter > 0.0 && t > 1 && t < m - 1) {
                x += std::min(shape.jitter, 1.9 * margin) * unit(random);
                if (u < 0.8)
                    y += 0.01 * std::abs(f) * unit(random);
            }
            out.samples.push_back({x, y});
        }
        out.samples.push_back({d, f});
        return static_cast<std::int64_t>(out.samples.size()) - 1;
    };
    auto factor = [&](int j) {
        const auto& fs = shape.cycleFactors;
        return fs[std::min<std::size_t>(static_cast<std::size_t>(j), fs.size() - 1)];
    };

    for (std::size_t i = 0; i < shape.amplitudes.size(); ++i) {
        const double a = shape.amplitudes[i];
        const int cycles = shape.cycles.empty() ? 1 : shape.cycles[i];
        for (int j = 0; j < cycles; ++j) {
            const double fp = j == 0 ? shape.positive(a) : factor(j) * shape.positive(a);
            const std::int64_t top = leg(a, fp);
            out.positiveTips.push_back({static_cast<int>(i), j, top, out.samples.back()});
            if (shape.oneSided) {
                leg(0.0, 0.0);
                continue;
            }
            const double fn = j == 0 ? shape.negative(a) : factor(j) * shape.negative(a);
            const std::int64_t bottom = leg(-a, -fn);
            out.negativeTips.push_back({static_cast<int>(i), j, bottom, out.samples.back()});
        }
    }
    if (shape.endFraction > 0.0) {
        const double a = shape.endFraction * shape.amplitudes.back();
        leg(a, shape.positive(a));
    } else if (shape.returnToZero && !shape.oneSided) {
        leg(0.0, 0.0);
    }
    return out;
}

// What Calculate leaves with the default factor texts, computed by the core functions.
struct CurveAnalysis {
    AnalysisState state;
    std::vector<Point> ultimateMarker;
    std::vector<Point> geometricLine, parkLine, energyLine;
    std::vector<Point> geometricPoint, parkPoint, energyPoint;
};

// The import's peak and largest displacement, then Calculate's steps. An arithmetic error
// that would end the click is thrown.
inline CurveAnalysis analyseCurve(const Series& curve, double loadReduction = 0.15, double secantFactor = 0.1,
                                  double parkFactor = 0.75)
{
    CurveAnalysis out;
    AnalysisState& st = out.state;
    st.StiffnessFound = false;
    const int n = curve.count();
    st.PeakIndex = 0;
    st.PeakDisp = curve.x(0);
    st.PeakLoad = curve.y(0);
    st.MaxDisp = curve.x(0);
    st.MaxDispIndex = 0.0;
    for (int j = 1; j < n; ++j) {
        if (curve.y(j) > st.PeakLoad) {
            st.PeakLoad = curve.y(j);
            st.PeakDisp = curve.x(j);
            st.PeakIndex = j;
        }
    }
    for (int j = 1; j < n; ++j) {
        if (curve.x(j) > st.MaxDisp) {
            st.MaxDisp = curve.x(j);
            st.MaxDispIndex = static_cast<double>(j);
        }
    }

    st.LoadReductionFactor = loadReduction;
    const double ultimateLoad = checkedMul(checkedSub(1.0, loadReduction), st.PeakLoad);
    if (const auto crossing = strictCrossing(curve, ultimateLoad, st.PeakIndex, n - 1)) {
        st.UltimateDisp = *crossing;
        st.UltimateFound = true;
        out.ultimateMarker = {{*crossing, ultimateLoad}};
    } else {
        st.UltimateDisp = st.MaxDisp;
        const int k = static_cast<int>(st.MaxDispIndex);
        out.ultimateMarker = {{curve.x(k), curve.y(k)}};
    }

    st.SecantLoadFactor = secantFactor;
    try {
        const double secantLoad = checkedMul(secantFactor, st.PeakLoad);
        if (const auto crossing = strictCrossing(curve, secantLoad, 0, st.PeakIndex)) {
            st.InitialStiffness = checkedDiv(checkedSub(secantLoad, curve.y(0)), checkedSub(*crossing, curve.x(0)));
            st.StiffnessFound = true;
        }
    } catch (const ArithmeticError&) {
        st.StiffnessFound = false;
    }

    st.ParkLoadFactor = parkFactor;
    auto keep = [](const MethodOutcome& o, YieldResult& r, std::vector<Point>& line, std::vector<Point>& point) {
        line = o.linePoints;
        point = {o.yieldPoint};
        r.YieldLoad = o.yieldLoad;
        r.YieldDisp = o.yieldDisp;
        if (!o.ductility)
            throw ArithmeticError(o.ductilityError.value_or(ArithmeticError::Kind::InvalidOperation));
        r.Ductility = *o.ductility;
    };
    if (st.StiffnessFound)
        keep(geometricMethod(curve, st.InitialStiffness, st.PeakLoad, st.UltimateDisp), st.GeometricResult,
             out.geometricLine, out.geometricPoint);
    keep(parkMethod(curve, parkFactor, st.PeakLoad, st.UltimateDisp), st.ParkResult, out.parkLine, out.parkPoint);
    keep(energyMethod(curve, st.PeakIndex, st.PeakLoad, st.PeakDisp, st.UltimateDisp), st.EnergyResult, out.energyLine,
         out.energyPoint);

    const YieldResult& g = st.GeometricResult;
    const YieldResult& p = st.ParkResult;
    const YieldResult& e = st.EnergyResult;
    YieldResult& mean = st.MeanResult;
    if (st.StiffnessFound) {
        mean.YieldLoad = checkedDiv(checkedAdd(checkedAdd(g.YieldLoad, p.YieldLoad), e.YieldLoad), 3.0);
        mean.YieldDisp = checkedDiv(checkedAdd(checkedAdd(g.YieldDisp, p.YieldDisp), e.YieldDisp), 3.0);
        mean.Ductility = checkedDiv(checkedAdd(checkedAdd(g.Ductility, p.Ductility), e.Ductility), 3.0);
    } else {
        mean.YieldLoad = checkedDiv(checkedAdd(p.YieldLoad, e.YieldLoad), 2.0);
        mean.YieldDisp = checkedDiv(checkedAdd(p.YieldDisp, e.YieldDisp), 2.0);
        mean.Ductility = checkedDiv(checkedAdd(p.Ductility, e.Ductility), 2.0);
    }
    return out;
}

}  // namespace rz::test
