#include "excel/DesktopWorkbooks.h"
#include "excel/WorkbookExport.h"
#include "gui/MainWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <clocale>
#include <exception>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    try {
        // C code (the workbook writer among it) formats numbers with the C library:
        // keep its numeric locale neutral; the user's separator is handled explicitly.
        std::setlocale(LC_NUMERIC, "C");
        QApplication::setApplicationName(QString::fromLatin1(rz::kApplicationTitle));
        // Workbooks of earlier sessions beyond what the cache folder keeps.
        rz::excel::pruneWorkbookFolder(rz::excel::WorkbookExport::WorkbookFolder(), QDateTime::currentDateTime());

        const QString decimalPoint = QLocale::system().decimalPoint();
        const QChar separator = decimalPoint.isEmpty() ? QLatin1Char('.') : decimalPoint.at(0);
        rz::TForm1 form1(QDir(QApplication::applicationDirPath()).absolutePath() + QLatin1Char('/'), separator);
        // Centred on the screen at the size its layout settled on.
        form1.resize(form1.size().expandedTo(form1.minimumSizeHint()));
        if (QScreen* screen = form1.screen()) {
            QRect frame = form1.frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            form1.move(frame.topLeft());
        }
        form1.show();
        QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromLatin1(rz::kApplicationTitle), QString::fromUtf8(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QString::fromLatin1(rz::kApplicationTitle), QString());
    }
    return 0;
}
