#include "excel/ExcelOp.h"
