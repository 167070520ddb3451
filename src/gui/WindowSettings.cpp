#include "gui/WindowSettings.h"

#include <QMainWindow>
#include <QSettings>
#include <QSplitter>

namespace rz {

namespace {
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kSplitterKey = QStringLiteral("window/splitter");
}  // namespace

void saveWindowLayout(const QMainWindow& window, const QSplitter& splitter, QSettings& settings)
{
    settings.setValue(kGeometryKey, window.saveGeometry());
    settings.setValue(kSplitterKey, splitter.saveState());
}

bool restoreWindowLayout(QMainWindow& window, QSplitter& splitter, const QSettings& settings)
{
    // restoreGeometry moves a window saved on a screen that is gone back onto a present one.
    if (!window.restoreGeometry(settings.value(kGeometryKey).toByteArray()))
        return false;
    splitter.restoreState(settings.value(kSplitterKey).toByteArray());
    return true;
}

}  // namespace rz
