#include "gui/UserGuideWindow.h"

#include "gui/Links.h"

#include <QAction>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace rz {

namespace {
// Pictures wider than this are shrunk to it, so a page reads without scrolling sideways
// at the window's first size.
constexpr int kPictureWidth = 720;

class GuideBrowser final : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override
    {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::ImageResource || resource.typeId() != QMetaType::QByteArray)
            return resource;
        QImage picture;
        if (!picture.loadFromData(resource.toByteArray()))
            return resource;
        if (picture.width() > kPictureWidth)
            picture = picture.scaledToWidth(kPictureWidth, Qt::SmoothTransformation);
        return picture;
    }
};

QToolButton* toolButton(QWidget* parent, const QString& text, const QString& toolTip)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    return button;
}
}  // namespace

QUrl UserGuideWindow::homePage()
{
    return QUrl(QStringLiteral("qrc:/docs/user-guide.md"));
}

UserGuideWindow::UserGuideWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("userGuide"));
    setWindowTitle(QStringLiteral("User Guide - Rorevadi Zadiz ovo Rudevadiz"));
    resize(780, 680);

    auto* back = toolButton(this, QStringLiteral("Back"), QStringLiteral("Back (Alt+Left)"));
    back->setShortcut(QKeySequence::Back);
    auto* home = toolButton(this, QStringLiteral("Contents"), QStringLiteral("The guide's first page"));
    findField_ = new QLineEdit(this);
    findField_->setObjectName(QStringLiteral("findField"));
    findField_->setPlaceholderText(QStringLiteral("Find in the guide (Ctrl+F)"));
    findField_->setClearButtonEnabled(true);
    auto* previous = toolButton(this, QStringLiteral("Previous"), QStringLiteral("Previous place (Shift+F3)"));
    previous->setShortcut(QKeySequence::FindPrevious);
    auto* next = toolButton(this, QStringLiteral("Next"), QStringLiteral("Next place (F3, Enter)"));
    next->setShortcut(QKeySequence::FindNext);
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("notice"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(home);
    bar->addSpacing(12);
    bar->addWidget(findField_, 1);
    bar->addWidget(previous);
    bar->addWidget(next);
    bar->addWidget(notice_);

    browser_ = new GuideBrowser(this);
    browser_->setObjectName(QStringLiteral("guideText"));
    // Links are followed here: a chapter that is not compiled in gets a word instead of an empty page.
    browser_->setOpenLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);

    auto* focusFind = new QAction(this);
    focusFind->setShortcut(QKeySequence::Find);
    addAction(focusFind);

    connect(focusFind, &QAction::triggered, this, [this] {
        findField_->setFocus(Qt::ShortcutFocusReason);
        findField_->selectAll();
    });
    connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(home, &QToolButton::clicked, this, [this] { browser_->setSource(homePage()); });
    connect(next, &QToolButton::clicked, this, [this] { find(findField_->text()); });
    connect(previous, &QToolButton::clicked, this, [this] { find(findField_->text(), true); });
    connect(findField_, &QLineEdit::returnPressed, this, [this] { find(findField_->text()); });
    connect(findField_, &QLineEdit::textChanged, this, [this] { showNotice(QString()); });
    connect(browser_, &QTextBrowser::anchorClicked, this, &UserGuideWindow::followLink);

    back->setEnabled(false);
    browser_->setSource(homePage(), QTextDocument::MarkdownResource);
}

QString UserGuideWindow::notice() const
{
    return notice_->text();
}

void UserGuideWindow::showNotice(const QString& text)
{
    notice_->setText(text);
}

bool UserGuideWindow::find(const QString& text, bool backward)
{
    showNotice(QString());
    if (text.isEmpty())
        return false;
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (browser_->find(text, flags))
        return true;
    // Start again from the other end of the page.
    QTextCursor cursor = browser_->textCursor();
    cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    browser_->setTextCursor(cursor);
    if (browser_->find(text, flags))
        return true;
    showNotice(QStringLiteral("Not found"));
    return false;
}

void UserGuideWindow::followLink(const QUrl& link)
{
    const QUrl target = browser_->source().resolved(link);
    if (target.scheme() == QLatin1String("qrc")) {
        if (QFile::exists(QLatin1Char(':') + target.path())) {
            browser_->setSource(target);
            showNotice(QString());
        } else {
            showNotice(QStringLiteral("%1 is not part of this version.").arg(target.fileName()));
        }
        return;
    }
    openLink(target, this);
}

}  // namespace rz
