// The main window's "Import with Options…": the menu item, the dialog, the import with a
// progress window, the options remembered, and the status bar's warning after a plain
// import of a file that the options read differently.
#include "core/import/ReadWithOptions.h"
#include "core/import/XlsxReader.h"
#include "core/io/Files.h"
#include "gui/Diagnostics.h"
#include "gui/ImportNotice.h"
#include "gui/ImportOptionsDialog.h"
#include "gui/ImportProgressWindow.h"
#include "gui/MainWindow.h"
#include "gui/RecentFiles.h"
#include "gui/StatusBar.h"

#include <QAction>
#include <QApplication>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

// Workbooks beside the text files; "All files" because instrument exports carry any
// extension (.dat, .asc, .tra, none).
const QStringList kOptionsOpenFilters = {u"Data files (*.csv *.txt *.dat *.asc *.tsv *.xlsx)"_s, u"CSV files (*.csv)"_s,
                                         u"Text files (*.txt)"_s, u"Excel workbooks (*.xlsx)"_s, u"All files (*)"_s};

}  // namespace

std::optional<ImportOptions> DialogProvider::getImportOptions(QWidget* parent, const QString& path,
                                                              const ImportOptions& initial, QChar decimalSeparator)
{
    ImportOptionsDialog dialog(path, initial, decimalSeparator, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.options();
}

void TForm1::buildImportWithOptions()
{
    ImportWithOptions1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    connect(ImportWithOptions1, &QAction::triggered, this, &TForm1::ImportWithOptions1Click);
    importNotice_ = new ImportNotice(rzstsbr2);
    connect(importNotice_, &ImportNotice::importWithOptionsRequested, this, &TForm1::importWithOptions);
}

void TForm1::ImportWithOptions1Click()
{
    guarded([this] {
        const QString path = dialogs_->getOpenFileName(this, u"Import with Options"_s, workbench_->openDialogFolder(),
                                                       kOptionsOpenFilters);
        if (!path.isEmpty())
            importWithOptions(path);
    });
}

void TForm1::importCyclicTest()
{
    guarded([this] {
        const QString path = dialogs_->getOpenFileName(this, u"Import Cyclic Test"_s, workbench_->openDialogFolder(),
                                                       kOptionsOpenFilters);
        if (path.isEmpty())
            return;
        ImportOptions initial = importMemory_.lastUsed();
        if (!initial.cyclic)
            initial.cyclic = CyclicOptions{};
        initial.order = PointOrder::FileOrder;
        importWithInitial(path, initial);
    });
}

void TForm1::importWithOptions(const QString& path)
{
    importWithInitial(path, importMemory_.lastUsed());
}

void TForm1::importWithInitial(const QString& path, const ImportOptions& initial)
{
    guarded([&] {
        std::optional<ImportOptions> chosen;
        try {
            chosen = dialogs_->getImportOptions(this, path, initial, workbench_->decimalSeparator());
        } catch (const FileReadError& e) {
            dialogs_->showMessage(this, MessageLevel::Warning, QString::fromUtf8(e.what()));
            return;
        } catch (const XlsxError& e) {
            dialogs_->showMessage(this, MessageLevel::Warning, QString::fromUtf8(e.what()));
            return;
        }
        if (!chosen)
            return;
        importMemory_.setLastUsed(*chosen);
        runImportWithOptions(path, *chosen);
    });
}

void TForm1::runImportWithOptions(const QString& path, const ImportOptions& options)
{
    qCInfo(lcWindow).noquote() << "import with options:" << path;
    importNotice_->dismiss();
    ImportProgressWindow progress(this, path, dialogs_->showsProgress());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ImportResult read = workbench_->importWithOptionsConfirmed(path, options, progress.callback());
    QApplication::restoreOverrideCursor();
    if (!read.ok())
        return;
    recentFiles_->add(path);
    importMemory_.setForFile(path, read.used);
    importMemory_.keepFiles(recentFiles_->files());
}

void TForm1::afterPlainImport(const QString& path)
{
    importMemory_.forgetFile(path);
    if (const auto warning = plainImportWarning(path, workbench_->decimalSeparator())) {
        qCInfo(lcWindow).noquote() << "import warning:" << *warning;
        importNotice_->showWarning(path, *warning);
    }
}

void TForm1::openRecentFile(const QString& path)
{
    // A file last read with options is read with them again, without the dialog.
    if (const auto options = importMemory_.forFile(path)) {
        guarded([&] { runImportWithOptions(path, *options); });
        return;
    }
    openFile(path);
}

}  // namespace rz
