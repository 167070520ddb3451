#pragma once

#include "core/analysis/Arithmetic.h"
#include "core/chart/Series.h"

#include <optional>
#include <vector>

// The computations behind "Calculate", as plain functions of the curve and numbers.
// Every formula is evaluated in the written order with each operation checked
// (core/analysis/Arithmetic.h), so results agree to the last bit with any other
// implementation of the same formulas in IEEE doubles.
namespace rz {

// Load on the curve at displacement u: the first segment from index 0 whose
// displacements enclose u (both bounds inclusive), linear interpolation; 0.0 when none.
double LoadAtDisp(const Series& curve, double u);
// Displacement at load p, the same way over loads.
double DispAtLoad(const Series& curve, double p);

// The driver's crossing search over segments i = a .. b-1, the first match winning: a
// segment whose two loads lie strictly on opposite sides of p (interpolated), or one
// whose end load equals p while its start load does not (that end point's displacement,
// exactly). A start load equal to p alone is no crossing, so the search from the first
// point never divides zero by zero.
std::optional<double> strictCrossing(const Series& curve, double p, int a, int b);

// What one yield-point method adds and stores. Arithmetic errors in the construction
// are thrown before anything is produced; one in the ductility comes back here, since
// the series and the load and displacement are in place by then.
struct MethodOutcome {
    std::vector<Point> linePoints;  // in the order they are added to the line series
    Point yieldPoint;
    double yieldLoad = 0.0;
    double yieldDisp = 0.0;
    std::optional<double> ductility;                          // empty when it failed
    std::optional<ArithmeticError::Kind> ductilityError;
};

MethodOutcome geometricMethod(const Series& curve, double stiffness, double peakLoad, double ultimateDisp);
MethodOutcome parkMethod(const Series& curve, double loadFactor, double peakLoad, double ultimateDisp);
MethodOutcome energyMethod(const Series& curve, int peakIndex, double peakLoad, double peakDisp,
                           double ultimateDisp);

}  // namespace rz
