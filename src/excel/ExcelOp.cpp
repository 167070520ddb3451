#include "excel/ExcelOp.h"

namespace rz::excel {

// The defaults are the member initialisers; the application handle starts empty.
ExcelOp::ExcelOp() = default;

}  // namespace rz::excel
