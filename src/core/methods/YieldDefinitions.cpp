#include "core/methods/YieldDefinitions.h"

#include "core/analysis/Analysis.h"
#include "core/analysis/Arithmetic.h"
#include "core/methods/CurveSearch.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rz {

namespace {

// A step that found nothing: the definition is not found, with this note.
struct Unfound {
    QString note;
};

// The step being computed, so that an arithmetic failure's note can name it.
struct Step {
    const char* name = "";
};

const char* failureText(ArithmeticError::Kind kind)
{
    switch (kind) {
        case ArithmeticError::Kind::DivisionByZero:
            return "division by zero";
        case ArithmeticError::Kind::InvalidOperation:
            return "zero divided by zero";
        case ArithmeticError::Kind::Overflow:
            return "overflow";
    }
    return "invalid operation";
}

void addNote(YieldDefinitionResult& r, const QString& note)
{
    if (!r.note.isEmpty())
        r.note += QLatin1String("; ");
    r.note += note;
}

double need(std::optional<double> value, const char* whatFoundNothing)
{
    if (!value)
        throw Unfound{QString::fromLatin1(whatFoundNothing)};
    return *value;
}

// Runs one definition. Every way it can fail ends here as a result that is not found,
// with the notes gathered so far and the failure last; nothing else of it is kept, so
// no half-computed number is shown.
template <typename Body>
YieldDefinitionResult evaluate(const Series& curve, const CurveFacts& facts, Body&& body)
{
    YieldDefinitionResult r;
    Step step;
    QString failure;
    try {
        if (curve.count() < 2)
            throw Unfound{QStringLiteral("curve has fewer than two points")};
        if (facts.peakIndex < 0 || facts.peakIndex >= curve.count())
            throw Unfound{QStringLiteral("no peak on the curve")};
        body(r, step);
        r.found = true;
        return r;
    } catch (const ArithmeticError& e) {
        failure = QLatin1String(step.name) + QLatin1String(": ") + QLatin1String(failureText(e.kind()));
    } catch (const Unfound& u) {
        failure = u.note;
    }
    YieldDefinitionResult failed;
    failed.note = std::move(r.note);
    addNote(failed, failure);
    return failed;
}

// What every definition ends with: its yield point (displacement, load), the figures that
// go with it and the construction.
void record(YieldDefinitionResult& r, Point yield, double ductility, double stiffness, double ultimateDisp,
            std::vector<Point> polyline)
{
    r.yieldPoint = yield;
    r.yieldDisp = yield.x;
    r.yieldLoad = yield.y;
    r.ductility = ductility;
    r.stiffness = stiffness;
    r.ultimateDisp = ultimateDisp;
    r.polyline = std::move(polyline);
}

// The ultimate of EEEP and EN 12512: where the load has fallen to 80 % of the peak, or
// the last point when it never does (reached is then false).
double failureDispOf(const Series& curve, const CurveFacts& facts, bool& reached)
{
    const double failureLoad = checkedMul(0.8, facts.peakLoad);
    const std::optional<double> disp = fallingSearch(curve, facts.peakIndex, failureLoad);
    reached = disp.has_value();
    return disp ? *disp : curve.x(curve.count() - 1);
}

double failureDisp(const Series& curve, const CurveFacts& facts, YieldDefinitionResult& r, Step& step)
{
    step.name = "0.8 Pmax";
    bool reached = false;
    double disp = 0.0;
    if (facts.failure) {
        if (facts.failure->error)
            std::rethrow_exception(facts.failure->error);
        disp = facts.failure->disp;
        reached = facts.failure->reached;
    } else {
        disp = failureDispOf(curve, facts, reached);
    }
    if (!reached)
        addNote(r, QStringLiteral("failure load not reached"));
    return disp;
}

std::optional<double> areaOf(const Series& curve, const CurveFacts& facts, double disp)
{
    return facts.areas ? facts.areas->upTo(disp) : areaUpTo(curve, disp);
}

// The loops over a million points below are never inlined into evaluate(): its handler
// makes the compiler keep their running maximum in memory, and each step then waits for
// the last one's store. Each checks once per point that its result is finite, which it
// is only when every operation before it was (the points are finite); the checked
// operations then throw what failed.

// The line of slope k2 that touches the curve from above up to point last: the first
// point of the largest intercept y - k2 x, and that intercept.
struct Touch {
    int index = 0;
    double intercept = 0.0;
};

Q_NEVER_INLINE Touch highestIntercept(const Series& curve, double k2, int last)
{
    const auto checked = [&](int i) { return checkedSub(curve.y(i), checkedMul(k2, curve.x(i))); };
    const auto intercept = [&](int i) {
        const double c = curve.y(i) - k2 * curve.x(i);
        return std::isfinite(c) ? c : checked(i);
    };
    // The odd and the even points apart, each keeping its first highest, so that neither
    // comparison waits for the other; the first highest of all is then the higher of the
    // two, or the earlier where they are equal.
    Touch odd{0, checked(0)};
    Touch even = odd;
    int i = 1;
    for (; i + 1 <= last; i += 2) {
        const double a = intercept(i);
        const double b = intercept(i + 1);
        if (a > odd.intercept)
            odd = {i, a};
        if (b > even.intercept)
            even = {i + 1, b};
    }
    if (i <= last) {
        if (const double a = intercept(i); a > odd.intercept)
            odd = {i, a};
    }
    if (even.intercept > odd.intercept || (even.intercept == odd.intercept && even.index < odd.index))
        return even;
    return odd;
}

// A point's distance above the chord from the origin to the peak, in units of the peak:
// w - u, with w = y / Pmax and u = x / dpeak.
class ChordDistance {
public:
    ChordDistance(const Series& curve, double peakLoad, double peakDisp)
        : curve_(curve), peakLoad_(peakLoad), peakDisp_(peakDisp)
    {
    }

    double at(int i) const
    {
#if defined(__SSE2__)
        // Both quotients in one instruction: each is the correctly rounded quotient, as
        // alone, and the divisions are what this loop waits for.
        static_assert(sizeof(Point) == 2 * sizeof(double) && offsetof(Point, y) == sizeof(double));
        const __m128d quotients = _mm_div_pd(_mm_loadu_pd(&curve_.points()[static_cast<std::size_t>(i)].x), divisors_);
        const double distance = _mm_cvtsd_f64(_mm_unpackhi_pd(quotients, quotients)) - _mm_cvtsd_f64(quotients);
#else
        const double distance = curve_.y(i) / peakLoad_ - curve_.x(i) / peakDisp_;
#endif
        return std::isfinite(distance) ? distance : checkedAt(i);
    }
    // The largest distance of points 0 to last.
    Q_NEVER_INLINE double largestUpTo(int last) const
    {
        // The odd and the even points apart, so that neither comparison waits for the other:
        // the largest of finite numbers is the same in any order.
        double odd = at(0);
        double even = odd;
        int i = 1;
        for (; i + 1 <= last; i += 2) {
            odd = std::max(odd, at(i));
            even = std::max(even, at(i + 1));
        }
        if (i <= last)
            odd = std::max(odd, at(i));
        return std::max(odd, even);
    }
    // The first point from 0 on whose distance is at least least; there must be one.
    Q_NEVER_INLINE int firstFrom(double least) const
    {
        int i = 0;
        while (at(i) < least)
            ++i;
        return i;
    }

private:
    double checkedAt(int i) const
    {
        const double w = checkedDiv(curve_.y(i), peakLoad_);
        const double u = checkedDiv(curve_.x(i), peakDisp_);
        return checkedSub(w, u);
    }

    const Series& curve_;
    double peakLoad_;
    double peakDisp_;
#if defined(__SSE2__)
    __m128d divisors_ = _mm_set_pd(peakLoad_, peakDisp_);  // y's, x's
#endif
};

}  // namespace

FailureSearch failureForDefinitions(const Series& curve, const CurveFacts& facts)
{
    FailureSearch search;
    // Without a peak on the curve no definition gets as far as asking.
    if (curve.count() < 2 || facts.peakIndex < 0 || facts.peakIndex >= curve.count())
        return search;
    try {
        search.disp = failureDispOf(curve, facts, search.reached);
    } catch (const ArithmeticError&) {
        search.error = std::current_exception();
    }
    return search;
}

CurveAreas areasForDefinitions(const Series& curve, const CurveFacts& facts)
{
    std::vector<double> disps{facts.ultimateDisp};
    if (curve.count() < 2 || facts.peakIndex < 0 || facts.peakIndex >= curve.count())
        return CurveAreas(curve, std::move(disps));
    const FailureSearch failure = facts.failure ? *facts.failure : failureForDefinitions(curve, facts);
    // When the search failed, EEEP fails at that step itself, before it asks for an area.
    if (!failure.error)
        disps.push_back(failure.disp);
    return CurveAreas(curve, std::move(disps));
}

YieldDefinitionResult eeepAstmE2126(const Series& curve, const CurveFacts& facts)
{
    return evaluate(curve, facts, [&](YieldDefinitionResult& r, Step& step) {
        const double pmax = facts.peakLoad;
        step.name = "0.4 Pmax";
        const double load04 = checkedMul(0.4, pmax);
        const double disp04 =
            need(risingSearch(curve, facts.peakIndex, load04), "rising search for 40 % of Pmax found nothing");
        step.name = "Ke";
        const double ke = checkedDiv(load04, disp04);
        const double du = failureDisp(curve, facts, r, step);
        step.name = "area A(du0.8)";
        const double area = need(areaOf(curve, facts, du), "area A(du0.8) outside the curve");

        step.name = "energy balance";
        const double duSquared = checkedMul(du, du);
        const double twiceAreaOverKe = checkedDiv(checkedMul(2.0, area), ke);
        step.name = "Py";
        double py = 0.0;
        if (duSquared >= twiceAreaOverKe) {
            const double root = std::sqrt(checkedSub(duSquared, twiceAreaOverKe));
            py = checkedMul(checkedSub(du, root), ke);
        } else {
            // No elastic-plastic curve of stiffness Ke encloses the area by du; the
            // standard then takes 85 % of the peak.
            py = checkedMul(0.85, pmax);
            addNote(r, QStringLiteral("negative root: Py = 85 % of Pmax"));
        }
        step.name = "dy";
        const double dy = checkedDiv(py, ke);
        step.name = "ductility";
        const double ductility = checkedDiv(du, dy);
        record(r, {dy, py}, ductility, ke, du, {{0.0, 0.0}, {dy, py}, {du, py}});
    });
}

YieldDefinitionResult tangentEn12512(const Series& curve, const CurveFacts& facts)
{
    return evaluate(curve, facts, [&](YieldDefinitionResult& r, Step& step) {
        const double pmax = facts.peakLoad;
        step.name = "0.1 Pmax";
        const double load01 = checkedMul(0.1, pmax);
        const double disp01 =
            need(risingSearch(curve, facts.peakIndex, load01), "rising search for 10 % of Pmax found nothing");
        step.name = "0.4 Pmax";
        const double load04 = checkedMul(0.4, pmax);
        const double disp04 =
            need(risingSearch(curve, facts.peakIndex, load04), "rising search for 40 % of Pmax found nothing");
        step.name = "k1";
        const double k1 = checkedDiv(checkedMul(0.3, pmax), checkedSub(disp04, disp01));
        step.name = "k2";
        const double k2 = checkedDiv(k1, 6.0);

        // The line of slope k2 that touches the rising branch from above.
        step.name = "c";
        const auto [touch, c] = highestIntercept(curve, k2, facts.peakIndex);

        step.name = "dy";
        const double numerator = checkedAdd(checkedSub(c, load01), checkedMul(k1, disp01));
        const double dy = checkedDiv(numerator, checkedSub(k1, k2));
        step.name = "Py";
        const double py = checkedAdd(checkedMul(k2, dy), c);
        const double du = failureDisp(curve, facts, r, step);
        step.name = "ductility";
        const double ductility = checkedDiv(du, dy);

        // Line 1 from where it meets zero load up to the yield point, then line 2 on to
        // the peak displacement (or back to where it touches the curve, when the yield
        // point lies beyond the peak).
        step.name = "construction";
        const double start = checkedSub(disp01, checkedDiv(load01, k1));
        const double end = facts.peakDisp > dy ? facts.peakDisp : curve.x(touch);
        record(r, {dy, py}, ductility, k1, du, {{start, 0.0}, {dy, py}, {end, checkedAdd(checkedMul(k2, end), c)}});
    });
}

YieldDefinitionResult farthestPoint(const Series& curve, const CurveFacts& facts)
{
    // Distances above the chord are in units of the peak; the normalisation rounds them
    // by about 1e-16, so a point within this of the chord lies on it. Without it a
    // straight rising branch would give whichever of its points rounding lifted most.
    constexpr double kOnChord = 1e-12;
    return evaluate(curve, facts, [&](YieldDefinitionResult& r, Step& step) {
        step.name = "u = x / dpeak, w = y / Pmax";
        const ChordDistance distance{curve, facts.peakLoad, facts.peakDisp};
        const double farthest = distance.largestUpTo(facts.peakIndex);
        if (!(farthest > kOnChord))
            throw Unfound{QStringLiteral("no point lies above the chord")};
        // The distances again, the same to the bit, rather than a store of a million of
        // them; none fails, as none did above.
        const int chosen = distance.firstFrom(farthest - kOnChord);

        const double x = curve.x(chosen);
        const double y = curve.y(chosen);
        step.name = "stiffness y / x";
        const double stiffness = checkedDiv(y, x);
        step.name = "ductility";
        const double ductility = checkedDiv(facts.ultimateDisp, x);
        step.name = "construction";
        // The chord, with the point's vertical distance above it.
        const double onChord = checkedMul(checkedDiv(x, facts.peakDisp), facts.peakLoad);
        record(r, {x, y}, ductility, stiffness, facts.ultimateDisp,
               {{0.0, 0.0}, {x, onChord}, {x, y}, {x, onChord}, {facts.peakDisp, facts.peakLoad}});
    });
}

YieldDefinitionResult bilinearAsce41(const Series& curve, const CurveFacts& facts)
{
    constexpr int kRounds = 100;
    return evaluate(curve, facts, [&](YieldDefinitionResult& r, Step& step) {
        const double dt = facts.ultimateDisp;
        step.name = "load at the target displacement";
        const double vt = LoadAtDisp(curve, dt);
        step.name = "area A(dt)";
        const double area = need(areaOf(curve, facts, dt), "area A(dt) outside the curve");

        // The secant through 60 % of the yield force, from the origin.
        RisingSearch risingTo(curve, facts.peakIndex);
        const auto elasticStiffness = [&](double vy, const char* searchFailed) {
            step.name = "0.6 Vy";
            const double load = checkedMul(0.6, vy);
            const double disp = need(risingTo(load), searchFailed);
            step.name = "Ke";
            return checkedDiv(load, disp);
        };

        step.name = "tolerance";
        // The magnitude of the peak, so that a curve of negative loads can converge too.
        const double tolerance = checkedMul(1e-10, std::abs(facts.peakLoad));
        double vy = facts.peakLoad;
        bool converged = false;
        for (int round = 0; round < kRounds && !converged; ++round) {
            const double ke = elasticStiffness(vy, "rising search for 60 % of Vy found nothing");
            step.name = "Vy";
            const double numerator = checkedSub(checkedMul(2.0, area), checkedMul(vt, dt));
            const double denominator = checkedSub(dt, checkedDiv(vt, ke));
            const double next = checkedDiv(numerator, denominator);
            converged = std::abs(checkedSub(next, vy)) <= tolerance;
            vy = next;
        }
        if (!converged)
            addNote(r, QStringLiteral("not converged in 100 rounds"));

        const double ke = elasticStiffness(vy, "rising search for 60 % of the final Vy found nothing");
        step.name = "dy";
        const double dy = checkedDiv(vy, ke);
        step.name = "post-yield stiffness";
        r.postYieldStiffness = checkedDiv(checkedSub(vt, vy), checkedSub(dt, dy));
        step.name = "ductility";
        const double ductility = checkedDiv(dt, dy);
        record(r, {dy, vy}, ductility, ke, dt, {{0.0, 0.0}, {dy, vy}, {dt, vt}});
    });
}

YieldDefinitionResult equalEnergyEn1998(const Series& curve, const CurveFacts& facts)
{
    return evaluate(curve, facts, [&](YieldDefinitionResult& r, Step& step) {
        const double fy = facts.peakLoad;
        const double dm = facts.ultimateDisp;
        step.name = "area Em";
        const double em = need(areaOf(curve, facts, dm), "area Em outside the curve");
        step.name = "dy";
        const double dy = checkedMul(2.0, checkedSub(dm, checkedDiv(em, fy)));
        step.name = "ductility";
        const double ductility = checkedDiv(dm, dy);
        step.name = "stiffness Fy / dy";
        const double stiffness = checkedDiv(fy, dy);
        record(r, {dy, fy}, ductility, stiffness, dm, {{0.0, 0.0}, {dy, fy}, {dm, fy}});
    });
}

}  // namespace rz
