#include "gui/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QSettings>

namespace rz {

namespace {
const QString kSettingsKey = QStringLiteral("recentFiles");
constexpr int kEntryTextWidth = 480;  // pixels; longer paths are shortened in the middle
}  // namespace

RecentFilesMenu::RecentFilesMenu(QWidget* parent) : QMenu(QStringLiteral("Recent &Files"), parent)
{
    setObjectName(QStringLiteral("recentFilesMenu"));
    separator_ = addSeparator();
    clear_ = addAction(QStringLiteral("&Clear"));
    clear_->setObjectName(QStringLiteral("clearRecentFiles"));
    connect(clear_, &QAction::triggered, this, &RecentFilesMenu::clearFiles);
    // Files vanish while the program runs; their look is checked whenever the menu opens.
    connect(this, &QMenu::aboutToShow, this, &RecentFilesMenu::rebuild);
    rebuild();
}

void RecentFilesMenu::setSettings(QSettings* settings)
{
    settings_ = settings;
    reload();
    rebuild();
}

void RecentFilesMenu::reload()
{
    // Another instance of the program may have written the list meanwhile.
    if (!settings_)
        return;
    files_.clear();
    for (const QString& path : settings_->value(kSettingsKey).toStringList()) {
        if (!path.isEmpty() && !files_.contains(path) && files_.size() < kMaxFiles)
            files_ << path;
    }
}

void RecentFilesMenu::store()
{
    if (settings_)
        settings_->setValue(kSettingsKey, files_);
    rebuild();
}

void RecentFilesMenu::add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    reload();
    files_.removeAll(absolute);
    files_.prepend(absolute);
    while (files_.size() > kMaxFiles)
        files_.removeLast();
    store();
}

void RecentFilesMenu::remove(const QString& path)
{
    reload();
    files_.removeAll(path);
    store();
}

void RecentFilesMenu::clearFiles()
{
    files_.clear();
    store();
}

QAction* RecentFilesMenu::entryFor(const QString& path) const
{
    for (QAction* entry : entries_) {
        if (entry->data().toString() == path)
            return entry;
    }
    return nullptr;
}

void RecentFilesMenu::rebuild()
{
    // An entry may be rebuilt away while its own triggered() runs: removed now, deleted later.
    for (QAction* entry : std::as_const(entries_)) {
        removeAction(entry);
        entry->deleteLater();
    }
    entries_.clear();
    int number = 0;
    for (const QString& path : std::as_const(files_)) {
        ++number;
        QString shown = fontMetrics().elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle, kEntryTextWidth);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        // Numbers 1 to 9 and 0 for the tenth give every entry a key.
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(number % 10).arg(shown), this);
        entry->setData(path);
        entry->setEnabled(QFileInfo(path).isFile());
        connect(entry, &QAction::triggered, this, [this, path] { choose(path); });
        insertAction(separator_, entry);
        entries_ << entry;
    }
    clear_->setEnabled(!files_.isEmpty());
    menuAction()->setEnabled(!files_.isEmpty());
}

void RecentFilesMenu::choose(const QString& path)
{
    if (QFileInfo(path).isFile())
        emit fileChosen(path);
    else
        emit missingFileChosen(path);
}

void RecentFilesMenu::mouseReleaseEvent(QMouseEvent* event)
{
    QAction* action = actionAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !action || action->isEnabled() || !entries_.contains(action)) {
        QMenu::mouseReleaseEvent(event);
        return;
    }
    const QString path = action->data().toString();
    // Close this menu and the File menu above it before the message comes up.
    for (QWidget* w = this; auto* menu = qobject_cast<QMenu*>(w); w = w->parentWidget())
        menu->hide();
    choose(path);
}

}  // namespace rz
