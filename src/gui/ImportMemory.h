#pragma once

#include "core/import/ImportOptions.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class QSettings;

namespace rz {

// What the window remembers of "Import with Options…": the options the user chose last,
// offered the next time the dialog opens, and for each file imported with options the
// options it was read with, so that Recent Files reads it the same way again. Kept in the
// user's settings when there are any, else for the run.
class ImportMemory {
public:
    void setSettings(QSettings* settings) { settings_ = settings; }

    // The options chosen last, or ImportOptions::detectEverything() the first time. The
    // worksheet is not remembered: another workbook has other sheets.
    ImportOptions lastUsed() const;
    void setLastUsed(const ImportOptions& options);

    // How path was last read with options; nothing after a plain import of it.
    std::optional<ImportOptions> forFile(const QString& path) const;
    void setForFile(const QString& path, const ImportOptions& used);
    void forgetFile(const QString& path);
    // Keeps the files of Recent Files only.
    void keepFiles(const QStringList& paths);

private:
    QString read(const QString& key) const;
    void write(const QString& key, const QString& value);
    QHash<QString, QString> files() const;
    void storeFiles(const QHash<QString, QString>& files);

    QSettings* settings_ = nullptr;
    QHash<QString, QString> values_;  // without settings
};

}  // namespace rz
