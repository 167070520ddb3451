#pragma once

#include "core/batch/Statistics.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <variant>
#include <vector>

// A summary table: one row per specimen, columns chosen by the caller (file name, peak
// load, yield points, flags, ...). It knows nothing of which columns a batch shows; it
// keeps every row's cells in the kind of its column and gives each numeric column's
// statistics.
namespace rz {

enum class ColumnKind { Text, Number, Flag };

struct SummaryColumn {
    QString key;    // stable, for programs (e.g. "peak_load"); unique in a table
    QString title;  // as the user reads it (e.g. "Peak load")
    ColumnKind kind = ColumnKind::Number;
    friend bool operator==(const SummaryColumn&, const SummaryColumn&) = default;
};

// Empty (std::monostate) where the value does not exist; otherwise the column's kind:
// QString for Text, double for Number, bool for Flag.
using SummaryCell = std::variant<std::monostate, QString, double, bool>;

// Thrown for a table built against its own columns: a key used twice, a row of the wrong
// length, a cell of another kind than its column.
class SummaryTableError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

class SummaryTable {
public:
    explicit SummaryTable(std::vector<SummaryColumn> columns);

    const std::vector<SummaryColumn>& columns() const { return columns_; }
    std::optional<std::size_t> columnIndex(const QString& key) const;

    void addRow(std::vector<SummaryCell> cells);
    std::size_t rowCount() const { return rows_.size(); }
    const SummaryCell& cell(std::size_t row, std::size_t column) const { return rows_.at(row).at(column); }

    // A numeric column's values, empty where a row has none.
    std::vector<std::optional<double>> numbers(std::size_t column) const;
    // Every column's statistics; empty for Text and Flag columns.
    std::vector<std::optional<ColumnStatistics>> statistics() const;

private:
    std::vector<SummaryColumn> columns_;
    std::vector<std::vector<SummaryCell>> rows_;
};

}  // namespace rz
