#pragma once

#include <QMenu>
#include <QStringList>

class QSettings;

namespace rz {

// The File menu's "Recent Files": the last imported files, newest first, kept in the
// user's settings so that they survive the run. An entry whose file no longer exists
// is greyed; clicking it reports missingFileChosen so the window can drop it and say why.
class RecentFilesMenu final : public QMenu {
    Q_OBJECT
public:
    static constexpr int kMaxFiles = 10;

    explicit RecentFilesMenu(QWidget* parent);

    // Reads the list from settings and writes every later change there. Without
    // settings the list lives as long as the menu.
    void setSettings(QSettings* settings);

    // A file that was imported: it moves to the top.
    void add(const QString& path);
    void remove(const QString& path);
    void clearFiles();
    QStringList files() const { return files_; }

    // The entry of path, or null.
    QAction* entryFor(const QString& path) const;
    QAction* clearAction() const { return clear_; }

signals:
    void fileChosen(const QString& path);
    void missingFileChosen(const QString& path);

protected:
    // Disabled items take no clicks in QMenu; a greyed entry must still react.
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void reload();
    void store();
    void rebuild();
    void choose(const QString& path);

    QSettings* settings_ = nullptr;
    QStringList files_;
    QList<QAction*> entries_;
    QAction* separator_ = nullptr;
    QAction* clear_ = nullptr;
};

}  // namespace rz
