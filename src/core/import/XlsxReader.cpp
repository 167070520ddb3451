#include "core/import/XlsxReader.h"

#include "core/io/ZipArchive.h"

#include <QDir>
#include <QIODevice>
#include <QXmlStreamReader>

#include <algorithm>
#include <optional>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

// Sheets wider than Excel's (column XFD) are damaged.
constexpr int kMaxColumns = 16384;
// Parts held whole in memory: the workbook, its relationships, styles and shared strings.
constexpr qint64 kMaxPartBytes = qint64(512) << 20;

[[noreturn]] void fail(const QString& path, const QString& reason)
{
    throw XlsxError(QStringLiteral("Cannot read the workbook \"%1\": %2")
                        .arg(QDir::toNativeSeparators(path), reason)
                        .toStdString());
}

struct Relationship {
    QString type;
    QString target;  // resolved to a path inside the archive
};

// "worksheets/sheet1.xml" next to "xl/workbook.xml" is "xl/worksheets/sheet1.xml"; a
// target that starts with "/" is taken from the archive's root.
QString resolveTarget(const QString& fromPart, const QString& target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const qsizetype slash = fromPart.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : fromPart.left(slash + 1);
    return QDir::cleanPath(folder + target);
}

// The relationships part of partPath ("xl/_rels/workbook.xml.rels"), by Id.
std::vector<std::pair<QString, Relationship>> readRelationships(const ZipReader& zip, const QString& partPath)
{
    const qsizetype slash = partPath.lastIndexOf(u'/');
    const QString relsPath = partPath.left(slash + 1) + u"_rels/"_s + partPath.mid(slash + 1) + u".rels"_s;
    std::vector<std::pair<QString, Relationship>> rels;
    if (!zip.contains(relsPath))
        return rels;
    QXmlStreamReader xml(zip.read(relsPath, kMaxPartBytes));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"Relationship") {
            const auto attributes = xml.attributes();
            const QString target = attributes.value("Target"_L1).toString();
            const bool external = attributes.value("TargetMode"_L1) == u"External";
            Relationship rel{attributes.value("Type"_L1).toString(),
                             external ? target : resolveTarget(partPath, target)};
            rels.emplace_back(attributes.value("Id"_L1).toString(), std::move(rel));
        }
    }
    return rels;
}

std::optional<QString> targetOfType(const std::vector<std::pair<QString, Relationship>>& rels, QStringView typeEnd)
{
    for (const auto& [id, rel] : rels)
        if (rel.type.endsWith(typeEnd))
            return rel.target;
    return std::nullopt;
}

// The relationship id of a <sheet>: r:id in the transitional namespace, or any namespaced
// "id" (strict workbooks use another namespace).
QString sheetRelationshipId(const QXmlStreamAttributes& attributes)
{
    for (const auto& attribute : attributes)
        if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
            return attribute.value().toString();
    return {};
}

// The text of the current element and its descendants' <t> elements (a shared or inline
// string, rich text runs joined), leaving out phonetic runs (<rPh>).
QString stringItemText(QXmlStreamReader& xml)
{
    QString text;
    int depth = 1;
    int phonetic = 0;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0) {
                text += xml.readElementText();
                --depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
            if (xml.name() == u"rPh")
                --phonetic;
        }
    }
    return text;
}

QStringList readSharedStrings(const ZipReader& zip, const QString& path, const QString& workbookPath)
{
    QStringList strings;
    QXmlStreamReader xml(zip.read(path, kMaxPartBytes));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            strings.append(stringItemText(xml));
    }
    if (xml.hasError())
        fail(workbookPath, QStringLiteral("the shared strings are damaged (%1)").arg(xml.errorString()));
    return strings;
}

// For every cell format (the s attribute of a cell), whether it shows a date.
std::vector<bool> readDateStyles(const ZipReader& zip, const QString& path, const QString& workbookPath)
{
    std::vector<std::pair<int, QString>> customFormats;
    std::vector<int> cellFormats;
    QXmlStreamReader xml(zip.read(path, kMaxPartBytes));
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"numFmt") {
                customFormats.emplace_back(xml.attributes().value("numFmtId"_L1).toInt(),
                                           xml.attributes().value("formatCode"_L1).toString());
            } else if (xml.name() == u"cellXfs") {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == u"xf") {
                cellFormats.push_back(xml.attributes().value("numFmtId"_L1).toInt());
            }
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    if (xml.hasError())
        fail(workbookPath, QStringLiteral("the styles are damaged (%1)").arg(xml.errorString()));
    std::vector<bool> isDate;
    for (const int id : cellFormats) {
        QString code;
        for (const auto& [customId, customCode] : customFormats)
            if (customId == id)
                code = customCode;
        isDate.push_back(isDateFormat(id, code));
    }
    return isDate;
}

// "BC12" -> 54 (from 0); -1 when the reference has no column letters.
int columnOfReference(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference[i].isLetter(); ++i) {
        const char16_t c = reference[i].toUpper().unicode();
        if (c < u'A' || c > u'Z')
            return -1;
        column = column * 26 + (c - u'A' + 1);
        if (column > kMaxColumns)
            return kMaxColumns;
    }
    return i == 0 ? -1 : column - 1;
}

}  // namespace

bool isDateFormat(int numFmtId, const QString& formatCode)
{
    if ((numFmtId >= 14 && numFmtId <= 22) || (numFmtId >= 27 && numFmtId <= 36) ||
        (numFmtId >= 45 && numFmtId <= 47) || (numFmtId >= 50 && numFmtId <= 58))
        return true;
    for (qsizetype i = 0; i < formatCode.size(); ++i) {
        const QChar c = formatCode[i];
        if (c == u'"') {
            const qsizetype close = formatCode.indexOf(u'"', i + 1);
            if (close < 0)
                return false;
            i = close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;  // an escaped, spacing or fill character
        } else if (c == u'[') {
            const qsizetype close = formatCode.indexOf(u']', i + 1);
            if (close < 0)
                return false;
            const QString inside = formatCode.mid(i + 1, close - i - 1).toLower();
            // [h], [mm], [ss]: elapsed time; anything else is a colour, locale or condition.
            if (!inside.isEmpty() &&
                std::all_of(inside.begin(), inside.end(), [](QChar x) { return x == u'h' || x == u'm' || x == u's'; }))
                return true;
            i = close;
        } else if (c == u';') {
            return false;  // the format for positive numbers decides
        } else {
            const QChar lower = c.toLower();
            if (lower == u'd' || lower == u'm' || lower == u'y' || lower == u'h' || lower == u's')
                return true;
        }
    }
    return false;
}

struct XlsxSheetReader::State {
    QString path;
    ZipReader zip;
    QStringList sheetNames;
    QString sheetName;
    QStringList sharedStrings;
    std::vector<bool> dateStyles;
    std::unique_ptr<QIODevice> device;
    qint64 totalBytes = 0;
    QXmlStreamReader xml;

    qint64 rowsReturned = 0;
    qint64 bufferedRowNumber = 0;  // from 1; 0 when no row is buffered
    CellRow buffered;
    bool finished = false;

    explicit State(ZipReader reader) : zip(std::move(reader)) {}

    [[noreturn]] void damaged()
    {
        QString reason = xml.errorString();
        if (device && !device->errorString().isEmpty() && xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            reason = device->errorString();
        fail(path, QStringLiteral("the worksheet \"%1\" is damaged (line %2: %3)")
                       .arg(sheetName)
                       .arg(xml.lineNumber())
                       .arg(reason));
    }

    Cell readCell(QStringView type, int style)
    {
        Cell cell;
        QString value;
        QString inlineText;
        bool hasValue = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"c")
                break;
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"v") {
                value = xml.readElementText();
                hasValue = true;
            } else if (xml.name() == u"is") {
                inlineText = stringItemText(xml);
                hasValue = true;
            } else if (xml.name() == u"f") {
                xml.skipCurrentElement();
            }
        }
        if (xml.hasError())
            damaged();
        if (!hasValue)
            return cell;
        if (type == u"s") {
            bool ok = false;
            const int index = value.trimmed().toInt(&ok);
            if (!ok || index < 0 || index >= sharedStrings.size())
                fail(path,
                     QStringLiteral("a cell of \"%1\" refers to a shared string that does not exist").arg(sheetName));
            cell.text = sharedStrings[index];
            cell.kind = CellKind::Text;
        } else if (type == u"inlineStr") {
            cell.text = inlineText;
            cell.kind = CellKind::Text;
        } else if (type == u"str") {
            cell.text = value;
            cell.kind = CellKind::Text;
        } else if (type == u"b" || type == u"e") {
            cell.text = value;
            cell.kind = CellKind::Other;
        } else if (type == u"d") {
            cell.text = value;
            cell.kind = CellKind::Date;
        } else {
            cell.text = value.trimmed();
            const bool date = style >= 0 && style < static_cast<int>(dateStyles.size()) &&
                              dateStyles[static_cast<std::size_t>(style)];
            cell.kind = date ? CellKind::Date : CellKind::Number;
        }
        if (cell.kind == CellKind::Text && cell.text.isEmpty())
            cell.kind = CellKind::Empty;
        return cell;
    }

    // Reads the next <row> element into buffered; false at the end of the sheet data.
    bool readRowElement()
    {
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"sheetData")
                return false;
            if (!xml.isStartElement() || xml.name() != u"row")
                continue;
            bool ok = false;
            const qint64 number = xml.attributes().value("r"_L1).toLongLong(&ok);
            bufferedRowNumber = ok && number > bufferedRowNumber ? number : bufferedRowNumber + 1;
            buffered.clear();
            int nextColumn = 0;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isEndElement() && xml.name() == u"row")
                    break;
                if (!xml.isStartElement() || xml.name() != u"c")
                    continue;
                const auto attributes = xml.attributes();
                int column = columnOfReference(attributes.value("r"_L1));
                if (column < 0)
                    column = nextColumn;
                if (column >= kMaxColumns)
                    fail(path, QStringLiteral("the worksheet \"%1\" has a cell beyond column XFD").arg(sheetName));
                const QString type = attributes.value("t"_L1).toString();
                bool styled = false;
                const int style = attributes.value("s"_L1).toInt(&styled);
                Cell cell = readCell(type, styled ? style : -1);
                nextColumn = column + 1;
                if (cell.kind == CellKind::Empty)
                    continue;
                if (static_cast<int>(buffered.size()) <= column)
                    buffered.resize(static_cast<std::size_t>(column) + 1);
                buffered[static_cast<std::size_t>(column)] = std::move(cell);
            }
            if (xml.hasError())
                damaged();
            return true;
        }
        if (xml.hasError())
            damaged();
        return false;
    }
};

XlsxSheetReader::XlsxSheetReader(std::unique_ptr<State> state) : d_(std::move(state)) {}
XlsxSheetReader::XlsxSheetReader(XlsxSheetReader&&) noexcept = default;
XlsxSheetReader& XlsxSheetReader::operator=(XlsxSheetReader&&) noexcept = default;
XlsxSheetReader::~XlsxSheetReader() = default;

XlsxSheetReader XlsxSheetReader::open(const QString& path, const QString& sheetName)
{
    std::unique_ptr<State> d;
    try {
        d = std::make_unique<State>(ZipReader::openFile(path));
        d->path = path;
        const auto packageRels = readRelationships(d->zip, QString());
        const QString workbookPath = targetOfType(packageRels, u"/officeDocument").value_or(u"xl/workbook.xml"_s);
        if (!d->zip.contains(workbookPath))
            fail(path, u"it is a zip archive but holds no workbook"_s);

        std::vector<std::pair<QString, QString>> sheets;  // name, relationship id
        QXmlStreamReader workbook(d->zip.read(workbookPath, kMaxPartBytes));
        while (!workbook.atEnd()) {
            workbook.readNext();
            if (workbook.isStartElement() && workbook.name() == u"sheet")
                sheets.emplace_back(workbook.attributes().value("name"_L1).toString(),
                                    sheetRelationshipId(workbook.attributes()));
        }
        if (workbook.hasError())
            fail(path, QStringLiteral("the workbook part is damaged (%1)").arg(workbook.errorString()));
        const auto workbookRels = readRelationships(d->zip, workbookPath);
        QString sheetPath;
        for (const auto& [name, id] : sheets) {
            for (const auto& [relId, rel] : workbookRels) {
                // Chart sheets and dialog sheets hold no cells.
                if (relId == id && rel.type.endsWith(u"/worksheet")) {
                    d->sheetNames.append(name);
                    if (sheetPath.isEmpty() && (sheetName.isEmpty() || name == sheetName)) {
                        sheetPath = rel.target;
                        d->sheetName = name;
                    }
                }
            }
        }
        if (d->sheetNames.isEmpty())
            fail(path, u"it has no worksheet"_s);
        if (sheetPath.isEmpty())
            fail(path, QStringLiteral("it has no worksheet named \"%1\" (its worksheets: %2)")
                           .arg(sheetName, d->sheetNames.join(u", "_s)));
        if (const auto shared = targetOfType(workbookRels, u"/sharedStrings"); shared && d->zip.contains(*shared))
            d->sharedStrings = readSharedStrings(d->zip, *shared, path);
        if (const auto styles = targetOfType(workbookRels, u"/styles"); styles && d->zip.contains(*styles))
            d->dateStyles = readDateStyles(d->zip, *styles, path);

        d->device = d->zip.openEntry(sheetPath);
        d->totalBytes = d->zip.entrySize(sheetPath);
        d->xml.setDevice(d->device.get());
    } catch (const ZipError& e) {
        fail(path, QString::fromStdString(e.what()));
    }
    return XlsxSheetReader(std::move(d));
}

QStringList XlsxSheetReader::sheetNames() const
{
    return d_->sheetNames;
}

QString XlsxSheetReader::sheetName() const
{
    return d_->sheetName;
}

bool XlsxSheetReader::nextRow(CellRow& row)
{
    if (d_->rowsReturned >= d_->bufferedRowNumber) {
        if (d_->finished || !d_->readRowElement()) {
            d_->finished = true;
            return false;
        }
    }
    ++d_->rowsReturned;
    if (d_->rowsReturned < d_->bufferedRowNumber)
        row.clear();  // a row the sheet leaves out
    else
        row = std::move(d_->buffered);
    return true;
}

qint64 XlsxSheetReader::bytesRead() const
{
    // The XML is ASCII but for text, so characters read are about bytes read.
    return std::min(d_->xml.characterOffset(), d_->totalBytes);
}

qint64 XlsxSheetReader::bytesTotal() const
{
    return d_->totalBytes;
}

}  // namespace rz
