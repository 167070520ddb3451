#pragma once

#include "core/workbench/Workbench.h"

#include <QString>

// The yield definitions of the standards in the batch tool's two outputs.
namespace rz::cli {

// The JSON value of the key "methods": one object per otherYieldMethods() row, by its key:
// {"Found", "YieldLoad", "YieldDisp", "Ductility", "Stiffness", "UltimateDisp", "Note"}.
// The numbers of a definition that was not found are null; after a Calculate that did
// not run to its end every definition is not found, noted "not calculated".
QString methodsJson(const Workbench& workbench);

// The table's rows, appended to text: a header, then one row per definition as the window's
// table shows it, each with its line break.
void appendMethodsTable(QString& text, const Workbench& workbench);

}  // namespace rz::cli
