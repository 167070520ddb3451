#include "gui/Links.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPalette>

#include <utility>

namespace rz {

namespace {

constexpr char kHttp[] = "http";

QUrl siteAddress(const QString& path, const QString& query) {
    QUrl url;
    url.setScheme(QString::fromLatin1(kHttp));
    url.setHost(siteHost());
    url.setPath(path);
    if (!query.isEmpty())
        url.setQuery(query);
    return url;
}

void openWithDesktop(const QUrl& url, QWidget*) {
    QDesktopServices::openUrl(url);
}

UrlOpener& currentOpener() {
    static UrlOpener opener = openWithDesktop;
    return opener;
}

QFont fallbackFont(const QStringList& families, int pointSize, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace

QString siteHost() {
    return QString::fromLatin1(kSiteHost);
}

QUrl siteBareHostUrl() {
    return QUrl::fromUserInput(siteHost());
}

QUrl webSiteUrl() {
    return siteAddress(QString(), QString());
}

QUrl howToUseUrl() {
    return siteAddress(QStringLiteral("/"), QStringLiteral("p=2216"));
}

QUrl donationPageUrl() {
    return siteAddress(QStringLiteral("/"), QStringLiteral("page_id=4813"));
}

QString donationPageAddress() {
    return donationPageUrl().toString();
}

UrlOpener setUrlOpener(UrlOpener opener) {
    UrlOpener previous = std::move(currentOpener());
    currentOpener() = opener ? std::move(opener) : UrlOpener(openWithDesktop);
    return previous;
}

void openLink(const QUrl& url, QWidget* parent) {
    currentOpener()(url, parent);
}

void openHowToUse(QWidget* parent) {
    openLink(howToUseUrl(), parent);
}

void openWebSite(QWidget* parent) {
    openLink(webSiteUrl(), parent);
}

QString visitWebSiteCaption() {
    return QStringLiteral("访问 ") + siteHost();
}

// DejaVu Sans Condensed comes closest in width to the Windows faces among the
// fonts a Debian desktop always has; wider faces would clip the fixed-width fields.
QFont msSansSerifFont(int pointSize, bool bold) {
    return fallbackFont({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                         QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")},
                        pointSize, bold);
}

QFont tahomaFont(int pointSize, bool bold) {
    return fallbackFont({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
                         QStringLiteral("DejaVu Sans")},
                        pointSize, bold);
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    // Pointer moves must arrive without a button held down.
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    showNormal();
}

void LinkLabel::showHover() {
    setLook(QColor(0, 0, 255), true);
}

void LinkLabel::showNormal() {
    setLook(Qt::black, false);
}

void LinkLabel::setLook(const QColor& colour, bool underline) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, colour);
    setPalette(pal);
    QFont f = font();
    f.setBold(true);
    f.setUnderline(underline);
    setFont(f);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    QLabel::mousePressEvent(event);
}

// A click is a left press and release over the label, as with a button.
void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = std::exchange(pressed_, false);
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && wasPressed && rect().contains(event->position().toPoint()))
        emit clicked();
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    QLabel::mouseMoveEvent(event);
    emit pointerMoved();
}

void LinkLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    emit pointerLeft();
}

}  // namespace rz
