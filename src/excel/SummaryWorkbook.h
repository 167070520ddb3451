#pragma once

#include "core/batch/BatchAnalysis.h"
#include "core/batch/SummaryTable.h"

#include <QPointF>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// A batch's summary as a workbook that stays live: sheet "Results" holds the titles, one
// row per specimen and under them the statistics of every numeric column as formulas over
// its cells (COUNT, AVERAGE, STDEV.S, STDEV.S/AVERAGE, MIN, MAX), so that deleting an
// outlier's value updates them; their cached values are those of the CSV summary. Sheet
// "Curves" holds every specimen's curve in two columns and a scatter chart overlaying
// them all, one series per specimen.
namespace rz {

struct CurveForSummary {
    QString name;
    std::vector<QPointF> points;
};

// A specimen's curve as its row names it (the file's name); no points when none were read.
CurveForSummary curveForSummary(const SpecimenAnalysis& specimen);

// Throws excel::WorkbookWriteError (the file named and why); an earlier file of that name
// is kept whole. created: the document's date (seconds since 1970) for a workbook whose
// bytes depend on its content only; none: the time of writing.
void writeSummaryWorkbook(const QString& path, const SummaryTable& table, const std::vector<CurveForSummary>& curves,
                          std::optional<std::int64_t> created = {});

}  // namespace rz
