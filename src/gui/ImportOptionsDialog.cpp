#include "gui/ImportOptionsDialog.h"

#include "core/import/XlsxReader.h"
#include "gui/ImportOptionsForm.h"
#include "gui/ImportPreviewPane.h"

#include <qcustomplot.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

constexpr int kPreviewLines = 200;

}  // namespace

ImportOptionsDialog::ImportOptionsDialog(const QString& path, const ImportOptions& initial, QChar decimalSeparator,
                                         QWidget* parent)
    : QDialog(parent), path_(path), given_(initial)
{
    setObjectName(u"ImportOptionsDialog"_s);
    setWindowTitle(u"Import with Options \u2013 "_s + QFileInfo(path).fileName());
    readHead(initial.sheet);

    file_ = new QLabel(this);
    file_->setObjectName(u"fileLabel"_s);
    file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form_ = new ImportOptionsForm(decimalSeparator, this);
    pane_ = new ImportPreviewPane(this);
    message_ = new QLabel(this);
    message_->setObjectName(u"messageLabel"_s);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* left = new QWidget(this);
    left->setMaximumWidth(460);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(form_);
    leftLayout->addWidget(pane_->chart, 1);
    auto* right = new QSplitter(Qt::Vertical, this);
    right->addWidget(pane_->text);
    right->addWidget(pane_->table);
    right->setStretchFactor(0, 1);
    right->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setChildrenCollapsible(false);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(u"&Import"_s);
    detectAgain_ = buttons_->addButton(u"&Detect Again"_s, QDialogButtonBox::ResetRole);
    detectAgain_->setObjectName(u"detectAgain"_s);
    detectAgain_->setToolTip(u"Read the file again and let detection choose every option it can"_s);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(detectAgain_, &QPushButton::clicked, this, &ImportOptionsDialog::detectAgain);
    connect(form_, &ImportOptionsForm::changed, this, &ImportOptionsDialog::optionsChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(file_);
    layout->addWidget(split, 1);
    layout->addWidget(message_);
    layout->addWidget(buttons_);
    resize(1140, 720);
    refresh();
}

ImportOptionsDialog::~ImportOptionsDialog() = default;

void ImportOptionsDialog::readHead(const QString& sheet)
{
    try {
        head_ = readFileHead(path_, sheet);
    } catch (const XlsxError&) {
        // A sheet remembered from another workbook: the first sheet of this one.
        if (sheet.isEmpty())
            throw;
        head_ = readFileHead(path_);
    }
    given_.sheet = head_.sheet;
}

void ImportOptionsDialog::readHeadAgain(const QString& sheet)
{
    // The file may have gone or a sheet be damaged since the dialog opened: the error is
    // shown in place of the preview's message, and the head read before stays.
    try {
        readHead(sheet);
        headError_.clear();
    } catch (const std::exception& e) {
        headError_ = QString::fromUtf8(e.what());
    }
}

void ImportOptionsDialog::detectAgain()
{
    ImportOptions fresh = ImportOptions::detectEverything();
    fresh.displacementScale = given_.displacementScale;
    fresh.loadScale = given_.loadScale;
    fresh.fromOrigin = given_.fromOrigin;
    fresh.order = given_.order;
    fresh.cyclic = given_.cyclic;
    readHeadAgain(given_.sheet);
    given_ = fresh;
    given_.sheet = head_.sheet;
    refresh();
}

void ImportOptionsDialog::optionsChanged()
{
    const ImportOptions chosen = form_->options();
    if (chosen.sheet != given_.sheet && head_.kind == FileKind::Workbook)
        readHeadAgain(chosen.sheet);
    given_ = chosen;
    given_.sheet = head_.sheet;
    refresh();
}

void ImportOptionsDialog::refresh()
{
    preview_ = previewImport(head_, given_, kPreviewLines);
    form_->showOptions(given_, preview_, head_);
    pane_->showPreview(preview_, given_, head_.kind);

    const QLocale locale;
    QString about = QStringLiteral("<b>%1</b> \u2013 %2")
                        .arg(QDir::toNativeSeparators(path_).toHtmlEscaped(), locale.formattedDataSize(head_.fileSize));
    if (head_.kind == FileKind::Workbook)
        about += QStringLiteral(", workbook; the preview shows the first %1 rows of the sheet").arg(kPreviewLines);
    else if (!head_.complete)
        about += QStringLiteral("; the preview shows the first %1 lines, the whole file is read on Import")
                     .arg(kPreviewLines);
    file_->setText(about);

    const QString problem = !headError_.isEmpty() ? headError_ : form_->problem();
    const QString error = !problem.isEmpty() ? problem : preview_.error;
    if (!error.isEmpty()) {
        message_->setText(u"<span style=\"color:#b02020\">"_s + error.toHtmlEscaped() + u"</span>"_s);
    } else {
        QString text = preview_.message.toHtmlEscaped();
        for (const QString& note : preview_.notes)
            text += u"<br>"_s + note.toHtmlEscaped();
        message_->setText(text);
    }
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(error.isEmpty());
}

}  // namespace rz
