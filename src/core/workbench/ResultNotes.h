#pragma once

#include "core/workbench/Workbench.h"

#include <QString>

// Results that were found but that an engineer would question at once, each with why: said
// in the summary's notes and on the test sheet, beside the number, never instead of it.
namespace rz {

// When the initial stiffness found is below zero: "initial stiffness negative: the first
// point's load (456.46738) is above the secant load (272.15683)"; the numbers in brackets, as
// a decimal comma may stand in them. The stiffness is
// (p_s - y_0) / (x_s - x_0) with the crossing x_s after the first point x_0, so a first
// point above the secant load p_s is the only way to it (a record whose first samples
// were taken before the load was zeroed, most often). Empty otherwise.
QString negativeStiffnessNote(const Workbench& wb);

}  // namespace rz
