#pragma once

#include <QFont>
#include <QLabel>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace rz {

// The author's web site. Every link and caption that names the site uses this one
// value; the reserved .example domain keeps links from reaching a stranger's site
// until the project has a site of its own.
inline constexpr char kSiteHost[] = "www.rorevadi.example";

QString siteHost();

// The site's bare host as the desktop opens it. The bare "www." name is what the
// user sees; a desktop browser needs a scheme to open it, so it is resolved the way
// a browser's address bar resolves a typed "www." name: HTTP, host only, no path.
QUrl siteBareHostUrl();
// The site's root page, HTTP with no path at all (no trailing slash).
QUrl webSiteUrl();
// The how-to page: HTTP, path "/", query "p=2216".
QUrl howToUseUrl();
// The donation page: HTTP, path "/", query "page_id=4813".
QUrl donationPageUrl();
// The donation page's address as shown in labels and encoded in the QR codes.
QString donationPageAddress();

// Hands an address to the desktop. The parent is the window that owns the clicked
// control. The result is deliberately not looked at: a missing browser or network
// is not reported.
using UrlOpener = std::function<void(const QUrl& url, QWidget* parent)>;

// Replaces the opener (tests record instead of starting a browser) and returns the
// previous one. An empty opener restores the desktop's.
UrlOpener setUrlOpener(UrlOpener opener);
void openLink(const QUrl& url, QWidget* parent);

// The About menu's "How to use?" and "访问 <host>" items.
void openHowToUse(QWidget* parent);
void openWebSite(QWidget* parent);
// Caption of the About menu's web-site item: "访问", a blank and the host.
QString visitWebSiteCaption();

// The fonts of the original design, with Linux fallbacks of similar width when the
// Windows faces are missing (CJK glyphs come from fontconfig's fallback).
QFont msSansSerifFont(int pointSize, bool bold);
QFont tahomaFont(int pointSize, bool bold);

// A label that acts as a web link. It reports clicks and pointer movement; its
// owner decides what they do, so a label can be clickable without the hover
// effect. The hover look is pure blue, bold and underlined; the normal look is
// black and bold, which is also how a link label starts.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    void showHover();
    void showNormal();

signals:
    void clicked();
    void pointerMoved();
    void pointerLeft();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setLook(const QColor& colour, bool underline);

    bool pressed_ = false;
};

}  // namespace rz
