// The main window's side of the desktop: files from the command line, dropped files,
// Recent Files, the remembered layout and the user guide.
#include "chartview/ChartView.h"
#include "gui/Diagnostics.h"
#include "gui/ImportNotice.h"
#include "gui/MainWindow.h"
#include "gui/OtherDefinitionsPanel.h"
#include "gui/RecentFiles.h"
#include "gui/StatusBar.h"
#include "gui/UserGuideWindow.h"
#include "gui/WindowSettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QSplitter>

namespace rz {

void TForm1::openFile(const QString& path)
{
    guarded([&] {
        qCInfo(lcWindow).noquote() << "import:" << path;
        importNotice_->dismiss();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        workbench_->importConfirmed(path);
        QApplication::restoreOverrideCursor();
        // A file that could not be read is not worth offering again.
        if (workbench_->lastImportLineCount() >= 0)
            recentFiles_->add(path);
        afterPlainImport(path);
    });
}

void TForm1::openFiles(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    // Several files at once are a batch: they go to Batch Analysis, listed and ready to run.
    if (paths.size() > 1) {
        showBatchAnalysis(paths);
        return;
    }
    openFile(paths.constFirst());
}

void TForm1::missingRecentFileChosen(const QString& path)
{
    recentFiles_->remove(path);
    dialogs_->showMessage(this, MessageLevel::Information,
                          QStringLiteral("%1 no longer exists. It has been removed from Recent Files.")
                              .arg(QDir::toNativeSeparators(path)));
}

void TForm1::setSettings(QSettings* settings)
{
    settings_ = settings;
    recentFiles_->setSettings(settings);
    otherDefinitions_->setSettings(settings);
    importMemory_.setSettings(settings);
}

bool TForm1::restoreLayout()
{
    return settings_ && restoreWindowLayout(*this, *splitter_, *settings_);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (settings_)
        saveWindowLayout(*this, *splitter_, *settings_);
    if (userGuideWindow_)
        userGuideWindow_->close();
    QMainWindow::closeEvent(event);
}

void TForm1::userGuideClick()
{
    guarded([this] {
        if (!userGuideWindow_)
            userGuideWindow_ = new UserGuideWindow(this);
        userGuideWindow_->show();
        userGuideWindow_->raise();
        userGuideWindow_->activateWindow();
    });
}

}  // namespace rz
