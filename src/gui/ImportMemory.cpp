#include "gui/ImportMemory.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

const QString kLastUsedKey = u"importOptions/lastUsed"_s;
const QString kFilesKey = u"importOptions/files"_s;

QString toText(const QJsonObject& json)
{
    return QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact));
}

// Options written by an older or newer program, or edited by hand, are not used.
std::optional<ImportOptions> fromText(const QString& text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isObject())
        return std::nullopt;
    return optionsFromJson(document.object());
}

QString absolute(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

QString ImportMemory::read(const QString& key) const
{
    return settings_ ? settings_->value(key).toString() : values_.value(key);
}

void ImportMemory::write(const QString& key, const QString& value)
{
    if (settings_)
        settings_->setValue(key, value);
    else
        values_.insert(key, value);
}

ImportOptions ImportMemory::lastUsed() const
{
    return fromText(read(kLastUsedKey)).value_or(ImportOptions::detectEverything());
}

void ImportMemory::setLastUsed(const ImportOptions& options)
{
    ImportOptions kept = options;
    kept.sheet.clear();
    write(kLastUsedKey, toText(optionsToJson(kept)));
}

QHash<QString, QString> ImportMemory::files() const
{
    QHash<QString, QString> files;
    const QJsonObject json = QJsonDocument::fromJson(read(kFilesKey).toUtf8()).object();
    for (auto it = json.begin(); it != json.end(); ++it)
        if (it.value().isObject())
            files.insert(it.key(), toText(it.value().toObject()));
    return files;
}

void ImportMemory::storeFiles(const QHash<QString, QString>& files)
{
    QJsonObject json;
    for (auto it = files.begin(); it != files.end(); ++it)
        json.insert(it.key(), QJsonDocument::fromJson(it.value().toUtf8()).object());
    write(kFilesKey, toText(json));
}

std::optional<ImportOptions> ImportMemory::forFile(const QString& path) const
{
    const QHash<QString, QString> known = files();
    const auto it = known.find(absolute(path));
    if (it == known.end())
        return std::nullopt;
    return fromText(*it);
}

void ImportMemory::setForFile(const QString& path, const ImportOptions& used)
{
    QHash<QString, QString> known = files();
    known.insert(absolute(path), toText(optionsToJson(used)));
    storeFiles(known);
}

void ImportMemory::forgetFile(const QString& path)
{
    QHash<QString, QString> known = files();
    if (known.remove(absolute(path)) > 0)
        storeFiles(known);
}

void ImportMemory::keepFiles(const QStringList& paths)
{
    QHash<QString, QString> known = files();
    const qsizetype before = known.size();
    known.removeIf([&paths](const auto& entry) { return !paths.contains(entry.key()); });
    if (known.size() != before)
        storeFiles(known);
}

}  // namespace rz
