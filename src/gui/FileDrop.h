#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

namespace rz {

// Lets a window take files dropped on it from the file manager: it accepts a drag that
// carries at least one local file (folders and web addresses are not files) and reports
// the dropped files in their order, from the event loop once the drop is over.
class FileDrop final : public QObject {
    Q_OBJECT
public:
    // Watches window, which from now on accepts drops.
    explicit FileDrop(QWidget* window);

    // The local files among the dragged data, in their order.
    static QStringList localFiles(const QMimeData* data);

signals:
    void filesDropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace rz
