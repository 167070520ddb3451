#pragma once

#include "core/batch/SummaryTable.h"

#include <QAbstractTableModel>
#include <QChar>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <optional>
#include <vector>

// A batch's summary for a table view: one row per specimen, then the statistics rows
// (count, mean, standard deviation, coefficient of variation, minimum, maximum). Numbers
// are shown as the window shows its fields ("--" where there is none) and sort as numbers.
namespace rz {

class SummaryTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // The value a cell sorts by: a double, a string, or nothing (sorted after every value).
    static constexpr int SortRole = Qt::UserRole + 1;
    // True on the statistics rows, which stay under the specimens whatever the sort.
    static constexpr int StatisticsRole = Qt::UserRole + 2;

    explicit SummaryTableModel(QObject* parent = nullptr);

    // rowMessages: per specimen, every message its analysis showed (the rows' tooltips).
    void setTable(const SummaryTable& table, QChar decimalSeparator, const std::vector<QStringList>& rowMessages = {});
    void clear();
    const std::optional<SummaryTable>& table() const { return table_; }
    int specimenCount() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString cellText(std::size_t row, std::size_t column) const;
    QString statisticText(int statistic, std::size_t column) const;

    std::optional<SummaryTable> table_;
    std::vector<std::optional<ColumnStatistics>> statistics_;
    std::vector<QStringList> messages_;
    QChar sep_ = u'.';
};

// Sorts the specimens by the SortRole and keeps the statistics rows last, in their order.
class SummarySortProxy final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

}  // namespace rz
