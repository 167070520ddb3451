#include "core/import/FileHead.h"

#include "core/import/DataFileReader.h"
#include "core/import/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace rz {

namespace {

QStringConverter::Encoding converterEncoding(TextEncoding encoding)
{
    switch (encoding) {
        case TextEncoding::Latin1:
            return QStringConverter::Latin1;
        case TextEncoding::Utf16:
            return QStringConverter::Utf16;
        case TextEncoding::Utf16LE:
            return QStringConverter::Utf16LE;
        case TextEncoding::Utf16BE:
            return QStringConverter::Utf16BE;
        case TextEncoding::Auto:
        case TextEncoding::Utf8:
            break;
    }
    return QStringConverter::Utf8;
}

bool isUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16 || encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

QByteArray readHeadBytes(const QString& path, qint64& fileSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QString reason = QFileInfo(path).isDir() ? QStringLiteral("It is a folder.") : file.errorString();
        throw FileReadError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason).toStdString());
    }
    fileSize = file.size();
    QByteArray bytes = file.read(kHeadBytes);
    if (file.error() != QFileDevice::NoError)
        throw FileReadError(QStringLiteral("Cannot read file \"%1\". %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString())
                                .toStdString());
    // Some files report no size (pipes, special files): the head then ends where the file did.
    if (fileSize < bytes.size() || (fileSize == 0 && bytes.size() < kHeadBytes))
        fileSize = bytes.size();
    return bytes;
}

}  // namespace

bool isWorkbook(const QString& path, QByteArrayView firstBytes)
{
    if (firstBytes.size() >= 4)
        return firstBytes.first(4) == QByteArrayView("PK\x03\x04", 4);
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"xlsx" || suffix == u"xlsm";
}

FileHead readFileHead(const QString& path, const QString& sheet)
{
    FileHead head;
    head.path = path;
    head.bytes = readHeadBytes(path, head.fileSize);
    if (!isWorkbook(path, head.bytes)) {
        head.complete = head.bytes.size() >= head.fileSize;
        return head;
    }
    head.kind = FileKind::Workbook;
    head.bytes.clear();
    XlsxSheetReader reader = XlsxSheetReader::open(path, sheet);
    head.sheetNames = reader.sheetNames();
    head.sheet = reader.sheetName();
    CellRow row;
    while (static_cast<int>(head.rows.size()) < kHeadLines && reader.nextRow(row))
        head.rows.push_back(row);
    head.complete = static_cast<int>(head.rows.size()) < kHeadLines || !reader.nextRow(row);
    return head;
}

TextEncoding resolveEncoding(TextEncoding chosen, QByteArrayView bytes)
{
    const auto byMark = QStringConverter::encodingForData(bytes);
    if (chosen == TextEncoding::Utf16)
        return byMark == QStringConverter::Utf16BE ? TextEncoding::Utf16BE : TextEncoding::Utf16LE;
    if (chosen != TextEncoding::Auto)
        return chosen;
    if (byMark == QStringConverter::Utf8)
        return TextEncoding::Utf8;
    if (byMark == QStringConverter::Utf16LE)
        return TextEncoding::Utf16LE;
    if (byMark == QStringConverter::Utf16BE)
        return TextEncoding::Utf16BE;
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? TextEncoding::Latin1 : TextEncoding::Utf8;
}

QString decodeHead(QByteArrayView bytes, TextEncoding encoding, bool complete)
{
    const TextEncoding resolved = resolveEncoding(encoding, bytes);
    QStringDecoder decoder(converterEncoding(resolved));
    QString text = decoder(bytes);
    // At the end of the file a cut character still shows that something was there.
    if (complete && endsInsideCharacter(bytes, resolved))
        text.append(QChar(QChar::ReplacementCharacter));
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0) {
        text.truncate(nul);
    } else if (!complete) {
        // The last line may be cut off: drop it.
        qsizetype cut = text.size();
        while (cut > 0 && text[cut - 1] != u'\n' && text[cut - 1] != u'\r')
            --cut;
        text.truncate(cut);
    }
    return text;
}

bool endsInsideCharacter(QByteArrayView bytes, TextEncoding resolved)
{
    if (isUtf16(resolved))
        return bytes.size() % 2 != 0;
    if (resolved != TextEncoding::Utf8)
        return false;
    // The last lead byte among the last four, and whether its sequence is complete.
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(4, size); ++back) {
        const auto c = static_cast<unsigned char>(bytes[size - back]);
        if ((c & 0xC0) == 0x80)
            continue;  // a continuation byte
        const int length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 1;
        return back < length;
    }
    return false;
}

std::vector<QStringView> headLines(QStringView text)
{
    std::vector<QStringView> lines = splitLines(text);
    if (lines.size() > static_cast<std::size_t>(kHeadLines))
        lines.resize(static_cast<std::size_t>(kHeadLines));
    return lines;
}

}  // namespace rz
