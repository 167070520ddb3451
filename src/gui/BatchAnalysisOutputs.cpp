// Batch Analysis: the comparison chart of the chosen rows, and what the dialog writes
// (the summary, the comparison's picture).
#include "chartview/ChartView.h"
#include "core/batch/SummaryCsv.h"
#include "core/compare/Comparison.h"
#include "excel/ExcelExport.h"
#include "excel/SummaryWorkbook.h"
#include "gui/BatchAnalysisDialog.h"
#include "gui/ExportProgress.h"
#include "gui/MainWindow.h"
#include "gui/SummaryTableModel.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTableView>
#include <algorithm>
#include <functional>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

const QStringList kSummaryFilters = {u"CSV files (*.csv)"_s, u"Excel workbooks (*.xlsx)"_s};

// The summary workbook's progress window; the notices it could give are the dialog's.
class SummaryFeedback final : public ExportProgress {
public:
    SummaryFeedback(QWidget* parent, DialogProvider& dialogs)
        : ExportProgress(parent, dialogs.showsProgress(), u"Export Summary"_s), parent_(parent), dialogs_(dialogs)
    {
    }
    void showStartFailure(const QString& text, const QString& caption) override
    {
        dialogs_.showStartFailure(parent_, text, caption);
    }
    void showNotice(const QString& text) override { dialogs_.showMessage(parent_, MessageLevel::Information, text); }

private:
    QWidget* parent_;
    DialogProvider& dialogs_;
};

}  // namespace

// --- comparison -------------------------------------------------------------------------

void BatchAnalysisDialog::setComparisonMethod(int method)
{
    method_->setCurrentIndex(method);
}

std::vector<int> BatchAnalysisDialog::selectedSpecimenRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        const int row = proxy_->mapToSource(index).row();
        if (row >= 0 && row < static_cast<int>(rowSpecimen_.size()) &&
            rowSpecimen_[static_cast<std::size_t>(row)] < static_cast<int>(specimens_.size()))
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void BatchAnalysisDialog::updateComparison()
{
    // Drawn only where it is seen: hundreds of curves take seconds to draw, and a change to
    // the Compare tab draws it anew.
    if (!tabs_->currentWidget() || !tabs_->currentWidget()->isAncestorOf(chart_))
        return;
    // A cyclic record's rows are its directions: each is compared on its own.
    std::vector<int> rows = selectedSpecimenRows();
    if (rows.empty()) {
        for (int row = 0; row < static_cast<int>(rowSpecimen_.size()); ++row)
            rows.push_back(row);
    }
    std::vector<ComparedSpecimen> compared;
    for (int row : rows) {
        const auto r = static_cast<std::size_t>(row);
        if (const auto c = comparedRow(specimens_[static_cast<std::size_t>(rowSpecimen_[r])], rowDirection_[r]))
            compared.push_back(*c);
    }
    setComparison(comparison_, compared, method_->currentIndex());
    // More names than a few columns hold would crowd out the curves, and a thousand take
    // seconds to lay out: past that none is made (the curves are made anew when their
    // number changes).
    const bool named = compared.size() <= kNamedCurves;
    chart_->setAutoAddPlottableToLegend(named);
    chart_->legend->setVisible(named);
    unnamed_->setVisible(!named);
    if (!named)
        unnamed_->setText(
            u"%1 curves are more than a legend names (%2): choose the rows to name on Results."_s.arg(compared.size())
                .arg(kNamedCurves));
    if (!compared.empty())
        chart_->setAxisTitles(comparisonAxisTitles(compared));
    chart_->sync(comparison_);
    // One legend entry per curve: the nine series stay empty, the yield points share their
    // curve's colour.
    for (int i = 0; i < kSeriesCount; ++i)
        chart_->seriesGraph(static_cast<SeriesId>(i))->removeFromLegend();
    for (std::size_t i = 0; named && i < compared.size(); ++i) {
        if (QCPCurve* yield = chart_->overlayCurve(comparisonYieldKey(static_cast<int>(i))))
            yield->removeFromLegend();
    }
    // An entry is drawn clipped to a box the text's height, and an underscore lies below the
    // letters: without room under the text, "wall_01" would read "wall 01".
    // Past the wrap the grid's last column has empty cells: item() is null for those.
    for (int i = 0; i < chart_->legend->itemCount(); ++i) {
        if (QCPAbstractLegendItem* item = chart_->legend->item(i))
            item->setMargins(QMargins(0, 0, 0, 2));
    }
    chart_->replot();
}

// --- outputs ----------------------------------------------------------------------------

void BatchAnalysisDialog::exportSummary()
{
    if (specimens_.empty())
        return;
    QString filter;
    const QString path =
        dialogs_.getSaveFileName(this, u"Export Summary"_s, startFolder(), u"Summary.csv"_s, kSummaryFilters, &filter);
    if (path.isEmpty())
        return;
    const bool workbook = path.endsWith(u".xlsx"_s, Qt::CaseInsensitive) ||
                          (!path.endsWith(u".csv"_s, Qt::CaseInsensitive) && filter.contains(u"*.xlsx"_s));
    try {
        const SummaryTable table = summaryOf(specimens_);
        if (workbook) {
            std::vector<CurveForSummary> curves;
            for (const SpecimenAnalysis& s : specimens_) {
                for (CurveForSummary& curve : summaryCurvesOf(s))
                    curves.push_back(std::move(curve));
            }
            // Hundreds of long curves take seconds: written on a worker, with a window that
            // can cancel (it keeps nothing then) once it takes more than half a second.
            SummaryFeedback feedback(this, dialogs_);
            feedback.saving([&](const std::function<bool()>& cancelled) {
                writeSummaryWorkbook(path, table, curves, std::nullopt,
                                     [&cancelled](std::size_t, std::size_t) { return !(cancelled && cancelled()); });
            });
        } else {
            writeSummaryCsv(path, table, sep_);
        }
        rememberFolder(QFileInfo(path).absolutePath());
        status_->setText(u"Summary written to %1."_s.arg(QDir::toNativeSeparators(path)));
    } catch (const excel::ExportCancelled&) {
        status_->setText(u"Summary not written: cancelled."_s);
    } catch (const std::exception& e) {
        dialogs_.showMessage(this, MessageLevel::Warning, QString::fromUtf8(e.what()));
    }
}

void BatchAnalysisDialog::saveComparisonPicture()
{
    QString filter;
    const QString path = dialogs_.getSaveFileName(this, u"Save Picture"_s, startFolder(), u"Comparison.png"_s,
                                                  TForm1::pictureFilters(), &filter);
    if (path.isEmpty())
        return;
    try {
        chart_->savePicture(path, pictureFormatChosen(path, filter));
    } catch (const std::exception& e) {
        dialogs_.showMessage(this, MessageLevel::Warning, QString::fromUtf8(e.what()));
    }
}

}  // namespace rz
