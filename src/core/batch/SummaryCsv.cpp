#include "core/batch/SummaryCsv.h"

#include "core/report/Report.h"
#include "core/text/NumberText.h"

namespace rz {

namespace {

const QString kMissing = QStringLiteral("--");

QString numberField(const std::optional<double>& value, QChar decimalSeparator)
{
    return value ? csvField(formatGeneral(*value, decimalSeparator)) : kMissing;
}

QString cellField(const SummaryCell& cell, QChar decimalSeparator)
{
    if (const auto* text = std::get_if<QString>(&cell))
        return csvField(*text);
    if (const auto* number = std::get_if<double>(&cell))
        return numberField(*number, decimalSeparator);
    if (const auto* flag = std::get_if<bool>(&cell))
        return *flag ? QStringLiteral("YES") : QStringLiteral("NO");
    return kMissing;
}

}  // namespace

// The statistics under the rows, after the count.
struct StatisticRow {
    const char* label;
    std::optional<double> ColumnStatistics::*value;
};
constexpr StatisticRow kStatisticRows[] = {
    {"Mean", &ColumnStatistics::mean},
    {"Standard deviation", &ColumnStatistics::standardDeviation},
    {"Coefficient of variation", &ColumnStatistics::coefficientOfVariation},
    {"Minimum", &ColumnStatistics::minimum},
    {"Maximum", &ColumnStatistics::maximum},
};

QStringList statisticsLabels()
{
    QStringList labels{QStringLiteral("Count")};
    for (const StatisticRow& row : kStatisticRows)
        labels << QLatin1StringView(row.label);
    return labels;
}

QStringList summaryCsvLines(const SummaryTable& table, QChar decimalSeparator)
{
    const std::vector<SummaryColumn>& columns = table.columns();
    // The statistics' labels take the first column, unless it holds numbers itself.
    const bool labelField = !columns.empty() && columns.front().kind == ColumnKind::Number;
    const auto line = [labelField](const QString& label, QStringList fields) {
        if (labelField)
            fields.prepend(label);
        else if (!label.isEmpty() && !fields.isEmpty())
            fields.front() = label;
        return fields.join(u',');
    };

    QStringList lines;
    QStringList titles;
    for (const SummaryColumn& column : columns)
        titles << csvField(column.title);
    lines << line(QString(), titles);
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        QStringList fields;
        for (std::size_t column = 0; column < columns.size(); ++column)
            fields << cellField(table.cell(row, column), decimalSeparator);
        lines << line(QString(), fields);
    }

    const std::vector<std::optional<ColumnStatistics>> statistics = table.statistics();
    QStringList counts;
    for (const std::optional<ColumnStatistics>& column : statistics)
        counts << (column ? QString::number(column->count) : QString());
    lines << line(QStringLiteral("Count"), counts);
    for (const StatisticRow& row : kStatisticRows) {
        QStringList fields;
        for (const std::optional<ColumnStatistics>& column : statistics)
            fields << (column ? numberField((*column).*row.value, decimalSeparator) : QString());
        lines << line(csvField(QLatin1StringView(row.label)), fields);
    }
    return lines;
}

QByteArray summaryCsvBytes(const SummaryTable& table, QChar decimalSeparator)
{
    return reportBytes(summaryCsvLines(table, decimalSeparator));
}

void writeSummaryCsv(const QString& path, const SummaryTable& table, QChar decimalSeparator)
{
    writeFileAtomically(path, summaryCsvBytes(table, decimalSeparator));
}

}  // namespace rz
