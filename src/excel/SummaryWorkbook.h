#pragma once

#include "core/batch/BatchAnalysis.h"
#include "core/batch/SummaryTable.h"

#include <QPointF>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// A batch's summary as a workbook that stays live: sheet "Results" holds the titles, one
// row per specimen and under them the statistics of every numeric column as formulas over
// its cells (COUNT, AVERAGE, STDEV.S, STDEV.S/AVERAGE, MIN, MAX), so that deleting an
// outlier's value updates them; their cached values are those of the CSV summary. Sheet
// "Curves" holds every row's curve in two columns and a scatter chart overlaying them all,
// one series per curve.
namespace rz {

struct CurveForSummary {
    QString name;
    std::vector<QPointF> points;
};

// A sheet has room for this many curves of two columns each; later ones are left out with
// a note, as are points past its last row. The chart draws the first 255.
inline constexpr std::size_t kSummaryCurvesMax = 8192;

// A specimen's curves, one for each of its summary rows that has one, named as the row: the
// file's name; for a cyclic record "<file name> (positive)" and "(negative)", each
// direction's analysed envelope in its own quadrant, as the comparison chart draws it.
// None when no curve was read.
std::vector<CurveForSummary> summaryCurvesOf(const SpecimenAnalysis& specimen);

// Curves written so far of all, after each; false stops the write. Called on the thread
// that writes.
using SummaryWriteProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Throws excel::WorkbookWriteError (the file named and why); an earlier file of that name
// is kept whole. created: the document's date (seconds since 1970) for a workbook whose
// bytes depend on its content only; none: the time of writing. When progress answers
// false, throws excel::ExportCancelled and keeps nothing; it is asked once more, with all
// curves done, before the file is packed and again before it replaces an earlier one.
void writeSummaryWorkbook(const QString& path, const SummaryTable& table, const std::vector<CurveForSummary>& curves,
                          std::optional<std::int64_t> created = {}, const SummaryWriteProgress& progress = {});

}  // namespace rz
