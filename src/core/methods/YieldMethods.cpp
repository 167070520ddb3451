#include "core/methods/YieldMethods.h"

#include <array>

namespace rz {

namespace {

constexpr std::array<YieldMethod, 5> kOtherYieldMethods{{
    {"EEEP_ASTM_E2126", "EEEP (ASTM E2126)", "ASTM E2126, equivalent energy elastic-plastic curve", &eeepAstmE2126},
    {"EN_12512", "Tangent method (EN 12512)", "EN 12512, yield by the tangent lines", &tangentEn12512},
    {"FarthestPoint", "Farthest point", "Feng, Qiang & Ye, Engineering Mechanics 34(3), 2017", &farthestPoint},
    {"Bilinear_ASCE_41", "Bilinear (ASCE 41)", "ASCE 41 / FEMA 356, bilinear idealisation", &bilinearAsce41},
    {"EqualEnergy_EN_1998", "Equal energy (EN 1998-1)", "EN 1998-1 Annex B, equal energy to the ultimate",
     &equalEnergyEn1998},
}};

}  // namespace

std::span<const YieldMethod> otherYieldMethods()
{
    return kOtherYieldMethods;
}

}  // namespace rz
