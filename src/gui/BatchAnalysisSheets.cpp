// Batch Analysis: "Export Test Sheet…" for the chosen rows, the page the window writes for
// a specimen opened in it. The sheets are taken in core; the page is drawn here, on the GUI
// thread, because its chart is a widget drawn offscreen.
#include "chartview/TestSheetPdf.h"
#include "core/sheet/SpecimenSheet.h"
#include "gui/BatchAnalysisDialog.h"
#include "gui/MainWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <algorithm>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

const QStringList kSheetFilters = {u"PDF documents (*.pdf)"_s};
// More sheets than this show a progress window with Cancel: each page takes a moment.
constexpr std::size_t kSheetsWithoutProgress = 3;

// Lists names under a heading, a few at most, so the message stays readable.
QString listed(const QString& heading, const QStringList& names)
{
    constexpr qsizetype kShown = 12;
    QString text = heading;
    for (qsizetype i = 0; i < names.size() && i < kShown; ++i)
        text += u"\n  "_s + names[i];
    if (names.size() > kShown)
        text += u"\n  \u2026 and %1 more"_s.arg(names.size() - kShown);
    return text;
}

}  // namespace

void BatchAnalysisDialog::exportTestSheets()
{
    const std::vector<int> rows = selectedSpecimenRows();
    if (rows.empty()) {
        dialogs_.showMessage(this, MessageLevel::Information, u"Choose the rows on Results first."_s);
        return;
    }
    if (rows.size() > 1) {
        writeSheetsToFolder(rows);
        return;
    }
    const auto row = static_cast<std::size_t>(rows.front());
    SpecimenAnalysis& specimen = specimens_[static_cast<std::size_t>(rowSpecimen_[row])];
    const std::optional<Direction> direction = rowDirection_[row];
    try {
        const SpecimenSheet sheet = specimenSheet(specimen, direction);
        if (!sheet.missing.isEmpty()) {
            dialogs_.showMessage(this, MessageLevel::Information,
                                 u"%1 has no test sheet: %2"_s.arg(specimenName(specimen), sheet.missing));
            return;
        }
        const QString path =
            dialogs_.getSaveFileName(this, u"Export Test Sheet"_s, startFolder(),
                                     specimenSheetFileName(specimen, direction), kSheetFilters, nullptr);
        if (path.isEmpty())
            return;
        writeTestSheetPdf(path, sheet.content, {&sheet.chart, sheet.titles, sep_, std::nullopt, std::nullopt});
        rememberFolder(QFileInfo(path).absolutePath());
        status_->setText(u"Test sheet written to %1."_s.arg(QDir::toNativeSeparators(path)));
    } catch (const std::exception& e) {
        dialogs_.showMessage(this, MessageLevel::Warning, QString::fromUtf8(e.what()));
    }
}

void BatchAnalysisDialog::writeSheetsToFolder(const std::vector<int>& rows)
{
    const QString folder = dialogs_.getExistingDirectory(this, u"Export Test Sheets"_s, startFolder());
    if (folder.isEmpty())
        return;
    rememberFolder(folder);
    const QDir dir(folder);

    // Rows whose file gave no curve are known before anything is written.
    struct Target {
        std::size_t specimen;
        std::optional<Direction> direction;
        QString path;
    };
    std::vector<Target> targets;
    QStringList skipped;
    QStringList present;
    for (int row : rows) {
        const auto r = static_cast<std::size_t>(row);
        const auto s = static_cast<std::size_t>(rowSpecimen_[r]);
        const SpecimenAnalysis& specimen = specimens_[s];
        const QString name = specimenSheetFileName(specimen, rowDirection_[r]);
        if (!specimen.imported || !specimen.workbench) {
            skipped << specimenName(specimen);
            continue;
        }
        // Two rows whose sheets would have one name (one file added twice, say): the first keeps it.
        if (std::any_of(targets.begin(), targets.end(),
                        [&](const Target& t) { return QFileInfo(t.path).fileName() == name; })) {
            skipped << QDir::toNativeSeparators(specimen.path) + u": another row's sheet is "_s + name;
            continue;
        }
        targets.push_back({s, rowDirection_[r], dir.filePath(name)});
        if (QFileInfo::exists(targets.back().path))
            present << name;
    }
    if (!present.isEmpty() &&
        !dialogs_.confirmReplace(
            this, u"Export Test Sheets"_s,
            listed(u"%1 of the sheets are already in %2:"_s.arg(present.size()).arg(QDir::toNativeSeparators(folder)),
                   present) +
                u"\n\nReplace them all?"_s))
        return;

    std::unique_ptr<QProgressDialog> progress;
    if (targets.size() > kSheetsWithoutProgress && dialogs_.showsProgress()) {
        progress = std::make_unique<QProgressDialog>(u"Writing test sheets\u2026"_s, u"Cancel"_s, 0,
                                                     static_cast<int>(targets.size()), this);
        progress->setWindowTitle(u"Export Test Sheets"_s);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setValue(0);
    }
    int written = 0;
    QStringList failed;
    bool cancelled = false;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (progress) {
            progress->setValue(static_cast<int>(i));
            if (progress->wasCanceled()) {
                cancelled = true;
                break;
            }
        }
        const Target& t = targets[i];
        SpecimenAnalysis& specimen = specimens_[t.specimen];
        try {
            const SpecimenSheet sheet = specimenSheet(specimen, t.direction);
            if (!sheet.missing.isEmpty()) {
                skipped << QFileInfo(t.path).fileName() + u": "_s + sheet.missing;
                continue;
            }
            writeTestSheetPdf(t.path, sheet.content, {&sheet.chart, sheet.titles, sep_, std::nullopt, std::nullopt});
            ++written;
        } catch (const std::exception& e) {
            failed << QString::fromUtf8(e.what());
        }
    }
    if (progress)
        progress->setValue(static_cast<int>(targets.size()));

    QString text = u"%1 test sheets written to %2"_s.arg(written).arg(QDir::toNativeSeparators(folder));
    if (cancelled)
        text += u"; cancelled"_s;
    status_->setText(text + u'.');
    QStringList problems;
    if (!skipped.isEmpty())
        problems << listed(u"These rows got no sheet:"_s, skipped);
    if (!failed.isEmpty())
        problems << listed(u"These sheets could not be written:"_s, failed);
    if (!problems.isEmpty())
        dialogs_.showMessage(this, failed.isEmpty() ? MessageLevel::Information : MessageLevel::Warning,
                             problems.join(u"\n\n"_s));
}

}  // namespace rz
