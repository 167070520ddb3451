#pragma once

#include "core/chart/Series.h"

#include <QString>
#include <exception>
#include <optional>
#include <vector>

// The yield definitions of the standards, computed beside the three methods of the
// window on the same curve. Each is a plain function of the curve (ascending
// displacement, as the curve store keeps it) and the peak and ultimate values the
// analysis found. None throws: a search that finds nothing, a division by zero, an
// overflow or a negative square root gives a result that is not found, whose note names
// the step that failed. Every number of a found result is finite. docs/methods.md gives
// each formula with a worked example.
namespace rz {

class CurveAreas;

// Where the load, past the peak, first falls to 80 % of it: the ultimate of EEEP and
// EN 12512, or the last point when it never does (reached is then false).
struct FailureSearch {
    double disp = 0.0;
    bool reached = false;
    std::exception_ptr error;  // what the search threw, thrown again to each that asks
};

// What the analysis already knows of the curve.
struct CurveFacts {
    double peakLoad = 0.0;      // P_max
    double peakDisp = 0.0;      // its displacement
    int peakIndex = -1;         // its index: the first point with the largest load
    double ultimateDisp = 0.0;  // the window's ultimate displacement, for the definitions that use it
    // Areas under the curve already summed (areasForDefinitions), or none: each definition
    // then sums its own.
    const CurveAreas* areas = nullptr;
    // Where the load falls to 80 % of the peak, already searched (failureForDefinitions),
    // or none: each definition that needs it then searches for itself.
    const FailureSearch* failure = nullptr;
};

struct YieldDefinitionResult {
    bool found = false;
    double yieldLoad = 0.0;
    double yieldDisp = 0.0;
    double ductility = 0.0;     // ultimateDisp / yieldDisp
    double stiffness = 0.0;     // the elastic stiffness of the idealisation
    double ultimateDisp = 0.0;  // the ultimate displacement this definition used
    // Post-yield stiffness of the bilinear idealisation (ASCE 41 only).
    std::optional<double> postYieldStiffness;
    // Why it was not found, or what a found result should be read with
    // ("failure load not reached", ...); several notes are joined by "; ".
    QString note;
    // The construction to draw: the polyline's points in drawing order (a point may
    // repeat or go back), and the yield point.
    std::vector<Point> polyline;
    Point yieldPoint;
};

// The failure displacement searched once, for facts.failure: EEEP, EN 12512 and the areas
// up to it all need it.
FailureSearch failureForDefinitions(const Series& curve, const CurveFacts& facts);

// The areas that the definitions below ask of this curve (up to the ultimate displacement
// and up to EEEP's), summed in one pass, for facts.areas.
CurveAreas areasForDefinitions(const Series& curve, const CurveFacts& facts);

// ASTM E2126 equivalent energy elastic-plastic curve (EEEP).
YieldDefinitionResult eeepAstmE2126(const Series& curve, const CurveFacts& facts);
// EN 12512 tangent method: the lines through 10 % and 40 % of P_max and of a sixth of
// that slope.
YieldDefinitionResult tangentEn12512(const Series& curve, const CurveFacts& facts);
// Farthest point above the chord from the origin to the peak (Feng, Qiang & Ye 2017).
YieldDefinitionResult farthestPoint(const Series& curve, const CurveFacts& facts);
// ASCE 41 / FEMA 356 bilinear idealisation up to the target displacement (the ultimate).
YieldDefinitionResult bilinearAsce41(const Series& curve, const CurveFacts& facts);
// EN 1998-1 Annex B: elastic-perfectly plastic with the peak load and equal energy up
// to the ultimate displacement.
YieldDefinitionResult equalEnergyEn1998(const Series& curve, const CurveFacts& facts);

}  // namespace rz
