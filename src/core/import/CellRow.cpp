#include "core/import/CellRow.h"

#include "core/text/NumberText.h"

namespace rz {

std::optional<double> cellNumber(const Cell& cell, QChar decimalSeparator)
{
    switch (cell.kind) {
        case CellKind::Field:
            return parseDecimal(cell.text, decimalSeparator);
        case CellKind::Number:
            return parseDecimal(cell.text, u'.');
        case CellKind::Empty:
        case CellKind::Text:
        case CellKind::Date:
        case CellKind::Other:
            break;
    }
    return std::nullopt;
}

bool isBlankRow(const CellRow& row)
{
    for (const Cell& cell : row)
        if (cell.kind != CellKind::Empty)
            return false;
    return true;
}

}  // namespace rz
