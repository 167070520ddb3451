#include "gui/ImportNotice.h"

#include "gui/StatusBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace rz {

namespace {
using namespace Qt::StringLiterals;
constexpr int kControlHeight = 20;  // inside the status bar's 24 pixels
}  // namespace

ImportNotice::ImportNotice(StatusBar* bar)
    : QWidget(bar),
      // The status bar's own fields share one container: hidden while the notice shows.
      fields_(bar->rzfldsts1->parentWidget()),
      label_(new QLabel(this)),
      offer_(new QPushButton(u"Import with Options\u2026"_s, this)),
      close_(new QToolButton(this))
{
    setObjectName(u"importNotice"_s);
    label_->setObjectName(u"importNoticeText"_s);
    offer_->setObjectName(u"importNoticeOffer"_s);
    close_->setObjectName(u"importNoticeClose"_s);
    label_->setMinimumWidth(80);
    label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    const QPixmap warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16);
    auto* icon = new QLabel(this);
    icon->setPixmap(warningIcon);
    offer_->setFixedHeight(kControlHeight);
    offer_->setToolTip(u"Open this file in Import with Options (Ctrl+Shift+O opens any file)"_s);
    close_->setText(u"\u2715"_s);
    close_->setAutoRaise(true);
    close_->setFixedSize(kControlHeight, kControlHeight);
    close_->setToolTip(u"Close this warning"_s);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 2, 0);
    row->setSpacing(6);
    row->addWidget(icon);
    row->addWidget(label_, 1);
    row->addWidget(offer_);
    row->addWidget(close_);
    bar->addWidget(this, 1);
    QWidget::hide();

    connect(offer_, &QPushButton::clicked, this, [this] {
        const QString path = path_;
        dismiss();
        emit importWithOptionsRequested(path);
    });
    connect(close_, &QToolButton::clicked, this, &ImportNotice::dismiss);
}

void ImportNotice::showWarning(const QString& path, const QString& warning)
{
    path_ = path;
    warning_ = warning;
    label_->setToolTip(warning);
    fields_->hide();
    QWidget::show();
    elide();
}

void ImportNotice::dismiss()
{
    path_.clear();
    warning_.clear();
    QWidget::hide();
    fields_->show();
}

void ImportNotice::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    elide();
}

void ImportNotice::elide()
{
    label_->setText(label_->fontMetrics().elidedText(warning_, Qt::ElideRight, label_->width()));
}

}  // namespace rz
