#pragma once

#include "core/methods/YieldDefinitions.h"

#include <QChar>
#include <QStringList>
#include <vector>

namespace rz {

// The report's section of the yield definitions of the standards, appended after the
// lines of the three methods: an empty line, a header line naming the columns, then one
// line per otherYieldMethods() row: title, yield load, yield displacement, ductility,
// stiffness, note. Numbers in the report's general form; "--" for the numbers of a
// definition that was not found, whose note says why. results is empty when no Calculate
// ran to its end since the last import: every line then reads "--" and "not calculated".
QStringList otherDefinitionReportLines(const std::vector<YieldDefinitionResult>& results, QChar decimalSeparator);

}  // namespace rz
