#include "gui/SummaryTableModel.h"

#include "core/batch/SummaryCsv.h"
#include "core/text/NumberText.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <cmath>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

const QString kMissing = u"--"_s;
constexpr int kStatisticRows = 6;  // count, mean, standard deviation, variation, minimum, maximum

std::optional<double> statisticValue(const ColumnStatistics& s, int statistic)
{
    switch (statistic) {
        case 0:
            return static_cast<double>(s.count);
        case 1:
            return s.mean;
        case 2:
            return s.standardDeviation;
        case 3:
            return s.coefficientOfVariation;
        case 4:
            return s.minimum;
        case 5:
            return s.maximum;
        default:
            return std::nullopt;
    }
}

// Ductilities as the window shows them ("0.0000"), whole counts as integers, the rest
// as the window's loads and displacements ("0.#####").
QString numberText(double value, const QString& key, QChar sep)
{
    if (key == u"points"_s)
        return QString::number(static_cast<qint64>(value));
    if (key.endsWith(u"ductility"_s))
        return formatPattern4(value, sep);
    return formatPattern5(value, sep);
}

}  // namespace

SummaryTableModel::SummaryTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void SummaryTableModel::setTable(const SummaryTable& table, QChar sep, const std::vector<QStringList>& rowMessages)
{
    beginResetModel();
    table_ = table;
    statistics_ = table.statistics();
    messages_ = rowMessages;
    sep_ = sep;
    endResetModel();
}

void SummaryTableModel::clear()
{
    beginResetModel();
    table_.reset();
    statistics_.clear();
    messages_.clear();
    endResetModel();
}

int SummaryTableModel::specimenCount() const
{
    return table_ ? static_cast<int>(table_->rowCount()) : 0;
}

int SummaryTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !table_)
        return 0;
    return specimenCount() + (table_->rowCount() > 0 ? kStatisticRows : 0);
}

int SummaryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !table_ ? 0 : static_cast<int>(table_->columns().size());
}

QString SummaryTableModel::cellText(std::size_t row, std::size_t column) const
{
    const SummaryCell& cell = table_->cell(row, column);
    if (const auto* text = std::get_if<QString>(&cell))
        return *text;
    if (const auto* number = std::get_if<double>(&cell))
        return numberText(*number, table_->columns()[column].key, sep_);
    if (const auto* flag = std::get_if<bool>(&cell))
        return *flag ? u"YES"_s : u"NO"_s;
    return kMissing;
}

QString SummaryTableModel::statisticText(int statistic, std::size_t column) const
{
    if (column == 0)
        return statisticsLabels().value(statistic);
    const std::optional<ColumnStatistics>& s = statistics_[column];
    if (!s)
        return {};
    const std::optional<double> value = statisticValue(*s, statistic);
    if (!value)
        return kMissing;
    if (statistic == 0)
        return QString::number(s->count);
    // The coefficient of variation is a ratio, shown as the ductilities are.
    if (statistic == 3)
        return formatPattern4(*value, sep_);
    return numberText(*value, table_->columns()[column].key, sep_);
}

QVariant SummaryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !table_)
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    const int specimens = specimenCount();
    const bool statistic = index.row() >= specimens;
    if (role == StatisticsRole)
        return statistic;
    if (statistic) {
        const int which = index.row() - specimens;
        switch (role) {
            case Qt::DisplayRole:
                return statisticText(which, column);
            case SortRole:
                return which;
            case Qt::FontRole: {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            case Qt::BackgroundRole:
                return QBrush(QColor(0xEE, 0xEE, 0xEE));
            case Qt::TextAlignmentRole:
                return column == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignRight | Qt::AlignVCenter);
            default:
                return {};
        }
    }
    const auto row = static_cast<std::size_t>(index.row());
    const SummaryCell& cell = table_->cell(row, column);
    switch (role) {
        case Qt::DisplayRole:
            return cellText(row, column);
        case SortRole:
            if (const auto* number = std::get_if<double>(&cell))
                return *number;
            if (const auto* text = std::get_if<QString>(&cell))
                return *text;
            if (const auto* flag = std::get_if<bool>(&cell))
                return *flag ? 1.0 : 0.0;
            return {};
        case Qt::TextAlignmentRole:
            return table_->columns()[column].kind == ColumnKind::Text ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                                                      : int(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::ToolTipRole:
            if (row < messages_.size() && !messages_[row].isEmpty())
                return messages_[row].join(u'\n');
            return {};
        default:
            return {};
    }
}

QVariant SummaryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !table_)
        return {};
    if (orientation == Qt::Horizontal)
        return table_->columns().at(static_cast<std::size_t>(section)).title;
    return section < specimenCount() ? QVariant(section + 1) : QVariant();
}

bool SummarySortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const bool leftStatistic = left.data(SummaryTableModel::StatisticsRole).toBool();
    const bool rightStatistic = right.data(SummaryTableModel::StatisticsRole).toBool();
    const bool ascending = sortOrder() == Qt::AscendingOrder;
    // The view reverses the comparison for a descending sort; answering against that keeps
    // the statistics rows last, and in their own order, both ways.
    if (leftStatistic || rightStatistic) {
        if (leftStatistic && rightStatistic) {
            const bool before = left.row() < right.row();
            return ascending ? before : !before;
        }
        return ascending ? rightStatistic : leftStatistic;
    }
    const QVariant a = left.data(SummaryTableModel::SortRole);
    const QVariant b = right.data(SummaryTableModel::SortRole);
    // A missing value sorts after every value, in both directions.
    if (!a.isValid() || !b.isValid()) {
        if (a.isValid() == b.isValid())
            return left.row() < right.row() ? ascending : !ascending;
        return ascending ? a.isValid() : b.isValid();
    }
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double)
        return a.toDouble() < b.toDouble();
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) < 0;
}

}  // namespace rz
