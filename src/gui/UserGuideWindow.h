#pragma once

#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QToolButton;

namespace rz {

// Help > User Guide: the guide compiled into the program (docs/user-guide.md and the
// chapters beside it, with their pictures), shown offline with a find field. A window of
// its own, so it can stay open beside the main window.
class UserGuideWindow final : public QWidget {
    Q_OBJECT
public:
    explicit UserGuideWindow(QWidget* parent);

    static QUrl homePage();

    QTextBrowser* browser() const { return browser_; }
    QLineEdit* findField() const { return findField_; }
    // The line beside the find field: "Not found", or why a link did not open.
    QString notice() const;

    // Selects the next (or previous) place of text after the cursor, starting again at
    // the other end when needed. False, with "Not found", when the page lacks it.
    bool find(const QString& text, bool backward = false);
    // What a click on a link does: a chapter of the guide opens here, a web address in
    // the browser, and a chapter this version lacks is named in the notice.
    void followLink(const QUrl& link);

private:
    void showNotice(const QString& text);

    QTextBrowser* browser_ = nullptr;
    QLineEdit* findField_ = nullptr;
    QLabel* notice_ = nullptr;
};

}  // namespace rz
