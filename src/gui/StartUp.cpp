#include "gui/StartUp.h"

#include "gui/BuildInfo.h"
#include "gui/Diagnostics.h"
#include "gui/MainWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QScreen>

namespace rz {

QString startFolder(const QString& programFolder)
{
    const QString installed = QDir::cleanPath(QDir(programFolder).filePath(samplesFolderFromProgram()));
    if (QFileInfo(installed).isDir())
        return installed + QLatin1Char('/');
    return programFolder;
}

std::unique_ptr<TForm1> startMainWindow(const DesktopStart& start)
{
    const QString decimalPoint = QLocale::system().decimalPoint();
    const QChar separator = decimalPoint.isEmpty() ? QLatin1Char('.') : decimalPoint.at(0);
    QString programFolder = QDir(start.programFolder).absolutePath();
    if (!programFolder.endsWith(QLatin1Char('/')))
        programFolder += QLatin1Char('/');
    const QString folder = startFolder(programFolder);
    qCInfo(lcWindow).noquote() << "file dialogs start in" << folder;

    auto form = std::make_unique<TForm1>(folder, separator, start.dialogs);
    form->setSettings(start.settings);
    // Centred on the screen at the size its layout settled on, unless a last run left a place.
    form->resize(form->size().expandedTo(form->minimumSizeHint()));
    if (!form->restoreLayout()) {
        if (QScreen* screen = form->screen()) {
            QRect frame = form->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            form->move(frame.topLeft());
        }
    }
    form->show();
    if (!start.files.isEmpty()) {
        // From the event loop, so the window is drawn before the import's message appears.
        TForm1* window = form.get();
        QMetaObject::invokeMethod(
            window, [window, files = start.files] { window->openFiles(files); }, Qt::QueuedConnection);
    }
    return form;
}

}  // namespace rz
