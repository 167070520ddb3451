// The main window's File > "Export Test Sheet…": the one-page PDF of the curve in the
// window, with the chart as shown and the results of the last Calculate.
#include "chartview/ChartView.h"
#include "chartview/TestSheetPdf.h"
#include "core/io/Files.h"
#include "core/sheet/TestSheetContent.h"
#include "gui/Diagnostics.h"
#include "gui/MainWindow.h"

#include <QAction>
#include <QMenu>

namespace rz {

namespace {
using namespace Qt::StringLiterals;
const QStringList kSheetFilters = {u"PDF documents (*.pdf)"_s};
}  // namespace

void TForm1::buildTestSheet(QMenu* fileMenu)
{
    exportTestSheet_ = fileMenu->addAction(u"Export Test Sheet\u2026"_s);
    exportTestSheet_->setObjectName(u"exportTestSheet"_s);
    exportTestSheet_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(exportTestSheet_, &QAction::triggered, this, &TForm1::exportTestSheetClick);
}

void TForm1::exportTestSheetClick()
{
    guarded([this] {
        if (workbench_->state().PeakIndex < 0) {
            dialogs_->showMessage(this, MessageLevel::Information, u"Import Data first!"_s);
            return;
        }
        const QString path =
            dialogs_->getSaveFileName(this, u"Export Test Sheet"_s, workbench_->reportDialogFolder(),
                                      testSheetFileName(workbench_->state().ResultBaseName), kSheetFilters, nullptr);
        if (path.isEmpty())
            return;
        // What the last Calculate said belongs to this curve only if no import came after it.
        const bool sameCurve = workbench_->chart()[SeriesId::lnsrsSeries4].data.revision() == calculatedCurve_;
        const QStringList messages = sameCurve ? calculateMessages_ : QStringList();
        const QDateTime analysed =
            sameCurve && calculateTime_.isValid() ? calculateTime_ : QDateTime::currentDateTime();
        const TestSheetContent content = testSheetContent(*workbench_, analysed, messages);
        qCInfo(lcWindow).noquote() << "test sheet:" << path;
        try {
            writeTestSheetPdf(path, content,
                              sheetChartAsShown(workbench_->chart(), workbench_->axisTitles(),
                                                workbench_->decimalSeparator(), *cht1));
        } catch (const FileWriteError& e) {
            dialogs_->showMessage(this, MessageLevel::Warning, QString::fromUtf8(e.what()));
        }
    });
}

}  // namespace rz
