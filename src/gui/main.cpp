#include "gui/BuildInfo.h"
#include "gui/CommandLine.h"
#include "excel/DesktopWorkbooks.h"
#include "excel/WorkbookExport.h"
#include "gui/MainWindow.h"
#include "gui/StartUp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QTextStream>
#include <clocale>
#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    // --help, --version and usage errors are answered before a display is needed.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const rz::DesktopCommandLine commandLine = rz::parseDesktopCommandLine(arguments);
    if (commandLine.action != rz::DesktopAction::OpenWindow) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return rz::answerDesktopCommandLine(commandLine, out, err);
    }

    QApplication app(argc, argv);
    try {
        // C code (the workbook writer among it) formats numbers with the C library:
        // keep its numeric locale neutral; the user's separator is handled explicitly.
        std::setlocale(LC_NUMERIC, "C");
        QApplication::setApplicationName(QString::fromLatin1(rz::kApplicationTitle));
        // Lets the desktop match the window to its menu entry and icon.
        QGuiApplication::setDesktopFileName(rz::applicationId());
        QApplication::setWindowIcon(
            QIcon::fromTheme(QStringLiteral("rorevadi"), QIcon(QStringLiteral(":/icons/rorevadi.svg"))));
        // Workbooks of earlier sessions beyond what the cache folder keeps.
        rz::excel::pruneWorkbookFolder(rz::excel::WorkbookExport::WorkbookFolder(), QDateTime::currentDateTime());

        // ~/.config/rorevadi/rorevadi.conf: Recent Files and the window's layout.
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("rorevadi"),
                           QStringLiteral("rorevadi"));
        const auto form =
            rz::startMainWindow({QApplication::applicationDirPath(), commandLine.files, &settings, nullptr});
        QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromLatin1(rz::kApplicationTitle), QString::fromUtf8(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QString::fromLatin1(rz::kApplicationTitle), QString());
    }
    return 0;
}
