#include "core/batch/SummaryTable.h"

#include <string>

namespace rz {

namespace {

bool fitsKind(const SummaryCell& cell, ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Text:
        return std::holds_alternative<QString>(cell);
    case ColumnKind::Number:
        return std::holds_alternative<double>(cell);
    case ColumnKind::Flag:
        return std::holds_alternative<bool>(cell);
    }
    return false;
}

}  // namespace

SummaryTable::SummaryTable(std::vector<SummaryColumn> columns) : columns_(std::move(columns))
{
    for (std::size_t i = 0; i < columns_.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (columns_[i].key == columns_[j].key)
                throw SummaryTableError("summary column key used twice: " + columns_[i].key.toStdString());
}

std::optional<std::size_t> SummaryTable::columnIndex(const QString& key) const
{
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].key == key)
            return i;
    return std::nullopt;
}

void SummaryTable::addRow(std::vector<SummaryCell> cells)
{
    if (cells.size() != columns_.size())
        throw SummaryTableError("summary row of " + std::to_string(cells.size()) + " cells for " +
                                std::to_string(columns_.size()) + " columns");
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (!std::holds_alternative<std::monostate>(cells[i]) && !fitsKind(cells[i], columns_[i].kind))
            throw SummaryTableError("summary cell of another kind than its column " + columns_[i].key.toStdString());
    rows_.push_back(std::move(cells));
}

std::vector<std::optional<double>> SummaryTable::numbers(std::size_t column) const
{
    std::vector<std::optional<double>> values;
    values.reserve(rows_.size());
    for (const auto& row : rows_) {
        const SummaryCell& cell = row.at(column);
        values.push_back(std::holds_alternative<double>(cell) ? std::optional(std::get<double>(cell)) : std::nullopt);
    }
    return values;
}

std::vector<std::optional<ColumnStatistics>> SummaryTable::statistics() const
{
    std::vector<std::optional<ColumnStatistics>> all(columns_.size());
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].kind == ColumnKind::Number)
            all[i] = columnStatistics(numbers(i));
    return all;
}

}  // namespace rz
