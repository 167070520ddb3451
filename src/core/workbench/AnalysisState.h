#pragma once

#include <QString>
#include <cstdint>

namespace rz {

struct YieldResult {
    double YieldLoad = 0.0;
    double YieldDisp = 0.0;
    double Ductility = 0.0;
};

// The main window's record of the curve's characteristic values and the results.
struct AnalysisState {
    std::int32_t DisplayMethod = 0;
    double PeakLoad = 0.0;
    double PeakDisp = 0.0;
    std::int32_t PeakIndex = -1;
    double MaxDisp = 0.0;
    double MaxDispIndex = -1.0;
    double ParkLoadFactor = 0.75;
    YieldResult GeometricResult;
    YieldResult ParkResult;
    YieldResult EnergyResult;
    YieldResult MeanResult;
    double LoadReductionFactor = 0.15;
    double UltimateDisp = 0.0;
    bool UltimateFound = false;
    double SecantLoadFactor = 0.1;
    double InitialStiffness = 0.0;
    bool StiffnessFound = true;
    QString ResultBaseName;
    QString SourceDataPath;
};

}  // namespace rz
