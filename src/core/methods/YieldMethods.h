#pragma once

#include "core/methods/YieldDefinitions.h"

#include <span>

// One table of the yield definitions computed beside the three methods, in the order the
// window, the report, the workbook, the JSON output and the batch summary list them.
namespace rz {

using YieldDefinition = YieldDefinitionResult (*)(const Series& curve, const CurveFacts& facts);

struct YieldMethod {
    const char* key;     // stable identifier, e.g. the JSON key: "EEEP_ASTM_E2126"
    const char* title;   // for people: "EEEP (ASTM E2126)"
    const char* source;  // short reference to the standard or paper
    YieldDefinition compute;
};

// EEEP_ASTM_E2126, EN_12512, FarthestPoint, Bilinear_ASCE_41, EqualEnergy_EN_1998.
std::span<const YieldMethod> otherYieldMethods();

}  // namespace rz
