// The main window's File > "Batch Analysis…": the dialog, files dropped on the window
// several at once, and a specimen of the batch opened in the window.
#include "gui/BatchAnalysisDialog.h"
#include "gui/Diagnostics.h"
#include "gui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace rz {

namespace {
using namespace Qt::StringLiterals;
}  // namespace

QStringList DialogProvider::getOpenFileNames(QWidget* parent, const QString& title, const QString& folder,
                                             const QStringList& filters)
{
    QFileDialog dlg(parent, title, folder);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    dlg.setNameFilters(filters);
    if (dlg.exec() != QDialog::Accepted)
        return {};
    return dlg.selectedFiles();
}

QString DialogProvider::getExistingDirectory(QWidget* parent, const QString& title, const QString& folder)
{
    QFileDialog dlg(parent, title, folder);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

bool DialogProvider::confirmReplace(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton* replace = box.addButton(u"&Replace All"_s, QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == replace;
}

void TForm1::buildBatchAnalysis(QMenu* fileMenu)
{
    batchAnalysis_ = fileMenu->addAction(u"Batch Analysis\u2026"_s);
    batchAnalysis_->setObjectName(u"batchAnalysis"_s);
    batchAnalysis_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    connect(batchAnalysis_, &QAction::triggered, this, &TForm1::batchAnalysisClick);
}

void TForm1::batchAnalysisClick()
{
    showBatchAnalysis({});
}

void TForm1::showBatchAnalysis(const QStringList& files)
{
    guarded([&] {
        const bool created = !batchDialog_;
        if (created) {
            batchDialog_ = new BatchAnalysisDialog(this, *dialogs_, workbench_->decimalSeparator());
            batchDialog_->setSettings(settings_);
            connect(batchDialog_, &BatchAnalysisDialog::specimenOpened, this, &TForm1::openSpecimen);
            // Options a batch ran with are the next Import with Options…'s start, as if
            // chosen there.
            connect(batchDialog_, &BatchAnalysisDialog::importOptionsUsed, this,
                    [this](const ImportOptions& options) { importMemory_.setLastUsed(options); });
        }
        // The factors start as the window's fields show them; a dialog already open keeps
        // what the user typed in it.
        if (created || !batchDialog_->isVisible()) {
            batchDialog_->setFactorTexts(field(Field::edt12)->text(), field(Field::edt17)->text(),
                                         field(Field::edt1)->text());
            batchDialog_->setImportOptions(importMemory_.lastUsed());
        }
        if (!files.isEmpty() && !batchDialog_->isRunning())
            batchDialog_->setFiles(files);
        batchDialog_->show();
        batchDialog_->raise();
        batchDialog_->activateWindow();
    });
}

void TForm1::openSpecimen(const QString& path, const BatchSettings& settings)
{
    qCInfo(lcWindow).noquote() << "batch specimen:" << path;
    const std::pair<Field, QString> factors[] = {
        {Field::edt12, settings.loadReduction}, {Field::edt17, settings.secant}, {Field::edt1, settings.park}};
    for (const auto& [f, text] : factors)
        field(f)->setText(text);
    if (settings.import)
        guarded([&] { runImportWithOptions(path, *settings.import); });
    else
        openFile(path);
    btn1Click();
    raise();
    activateWindow();
}

}  // namespace rz
