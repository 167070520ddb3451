#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;

namespace rz {

class StatusBar;

// The status bar's warning after "Import Load-Displacement Data" read a file that the
// import with options reads differently: the reason (in full in its tooltip), a button
// "Import with Options…" for that file, and a close button. It stays until the next
// import or until closed, and covers the status bar's own fields meanwhile.
class ImportNotice final : public QWidget {
    Q_OBJECT
public:
    explicit ImportNotice(StatusBar* bar);

    void showWarning(const QString& path, const QString& warning);
    void dismiss();

    QString path() const { return path_; }
    QString warning() const { return warning_; }
    QLabel* label() const { return label_; }
    QPushButton* offerButton() const { return offer_; }
    QToolButton* closeButton() const { return close_; }

signals:
    // The user asked to import path with options.
    void importWithOptionsRequested(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QWidget* fields_;
    QString path_;
    QString warning_;
    QLabel* label_;
    QPushButton* offer_;
    QToolButton* close_;
};

}  // namespace rz
