#include "core/import/TextBlockReader.h"

#include "core/import/DataFileReader.h"
#include "core/import/FieldSplit.h"
#include "core/import/FileHead.h"
#include "core/import/LineBreaks.h"
#include "core/text/NumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace rz {

namespace {

constexpr qint64 kPieceBytes = qint64(1) << 20;
constexpr qsizetype kMaxLineLength = qsizetype(64) << 20;
constexpr qsizetype kMaxStopTextBytes = 200;

[[noreturn]] void throwReadError(const char* what, const QString& path, const QString& reason)
{
    throw FileReadError(QStringLiteral("%1 \"%2\". %3")
                            .arg(QLatin1StringView(what), QDir::toNativeSeparators(path), reason)
                            .toStdString());
}

// One line after another: skipped lines, then points, until the data ends.
template <typename Char>
class LineHandler {
public:
    LineHandler(const ImportOptions& options, TextEncoding encoding)
        : skip_(options.skipLines.value_or(0)),
          displacement_(options.displacement.number - 1),
          load_(options.load.number - 1),
          lastColumn_(std::max(displacement_, load_)),
          rule_(SplitRule::of(options.separator, options.separatorChar)),
          decimal_(options.decimal == DecimalSeparator::Comma ? u',' : u'.'),
          latin1_(encoding == TextEncoding::Latin1)
    {
        block_.firstLine = skip_;
    }

    // False once the data has ended.
    bool line(const Char* begin, const Char* end)
    {
        const qint64 index = index_++;
        if (index < skip_)
            return true;
        // The fast path: a line that gives its point.
        FieldSpan<Char> x;
        FieldSpan<Char> y;
        int missing = -1;
        std::optional<double> xValue;
        std::optional<double> yValue;
        if (!isBlankLine(begin, end)) {
            missing = chosenFields(begin, end, x, y);
            if (missing < 0) {
                xValue = number(x);
                yValue = xValue ? number(y) : std::nullopt;
                if (yValue && pendingBlank_ < 0) {
                    block_.points.push_back({*xValue, *yValue});
                    return true;
                }
            }
        }
        // A line of nothing but blanks and separators (";;;", as spreadsheets write an
        // empty row) is blank; the data end at a blank line only if more text follows.
        if (isBlankLine(begin, end) || allFieldsEmpty(begin, end)) {
            if (pendingBlank_ < 0)
                pendingBlank_ = index;
            return true;
        }
        if (pendingBlank_ >= 0)
            return stop(pendingBlank_, StopReason::BlankLine, -1, nullptr);
        if (missing >= 0)
            return stop(index, StopReason::MissingColumn, missing, nullptr);
        if (!xValue)
            return stop(index, StopReason::NotANumber, displacement_, &x);
        return stop(index, StopReason::NotANumber, load_, &y);
    }

    RawBlock take() { return std::move(block_); }

private:
    // Finds the chosen fields; returns the first chosen column the line lacks, or -1.
    int chosenFields(const Char* begin, const Char* end, FieldSpan<Char>& x, FieldSpan<Char>& y) const
    {
        FieldCursor<Char> cursor(begin, end, rule_);
        FieldSpan<Char> field;
        for (int column = 0; column <= lastColumn_; ++column) {
            if (!cursor.next(field))
                return displacement_ >= column && (load_ < column || displacement_ < load_) ? displacement_ : load_;
            if (column == displacement_)
                x = field;
            if (column == load_)
                y = field;
        }
        return -1;
    }

    bool allFieldsEmpty(const Char* begin, const Char* end) const
    {
        FieldCursor<Char> cursor(begin, end, rule_);
        FieldSpan<Char> field;
        while (cursor.next(field))
            if (field.begin != field.end)
                return false;
        return true;
    }

    std::optional<double> number(const FieldSpan<Char>& field) const
    {
        // A doubled quote leaves a quote in the field, and no number holds one.
        if (field.escaped)
            return std::nullopt;
        if constexpr (sizeof(Char) == 1)
            return parseDecimalAscii(field.begin, field.end, static_cast<char>(decimal_));
        else
            return parseDecimal(QStringView(field.begin, field.end), QChar(decimal_));
    }

    QString text(const FieldSpan<Char>& field) const
    {
        if constexpr (sizeof(Char) == 1) {
            const auto size = std::min<qsizetype>(field.end - field.begin, kMaxStopTextBytes);
            return latin1_ ? QString::fromLatin1(field.begin, size) : QString::fromUtf8(field.begin, size);
        } else {
            return fieldText(field);
        }
    }

    bool stop(qint64 line, StopReason reason, int column, const FieldSpan<Char>* field)
    {
        block_.stopLine = line;
        block_.reason = reason;
        block_.stopColumn = column;
        if (field)
            block_.stopText = text(*field);
        return false;
    }

    qint64 skip_;
    int displacement_;
    int load_;
    int lastColumn_;
    SplitRule rule_;
    char16_t decimal_;
    bool latin1_;
    qint64 index_ = 0;
    qint64 pendingBlank_ = -1;
    RawBlock block_;
};

bool startsWithUtf8Mark(const QByteArray& bytes, qsizetype filled)
{
    return filled >= 3 && std::memcmp(bytes.constData(), "\xEF\xBB\xBF", 3) == 0;
}

RawBlock readAsBytes(QFile& file, const QString& path, const ImportOptions& options, const ImportProgress& progress)
{
    LineHandler<char> handler(options, options.encoding);
    const qint64 total = file.size();
    QByteArray buffer(kPieceBytes, Qt::Uninitialized);
    qsizetype filled = 0;
    qsizetype begin = 0;
    qint64 done = 0;
    bool first = true;
    bool finished = false;
    bool cancelled = false;
    while (!finished) {
        if (begin > 0) {
            std::memmove(buffer.data(), buffer.constData() + begin, static_cast<std::size_t>(filled - begin));
            filled -= begin;
            begin = 0;
        }
        if (filled == buffer.size()) {
            if (buffer.size() >= kMaxLineLength)
                throwReadError("Cannot read file", path, QStringLiteral("A line is longer than 64 MiB."));
            buffer.resize(buffer.size() * 2);
        }
        const qint64 got = file.read(buffer.data() + filled, buffer.size() - filled);
        if (got < 0)
            throwReadError("Cannot read file", path, file.errorString());
        filled += got;
        done += got;
        if (first && options.encoding == TextEncoding::Utf8 && startsWithUtf8Mark(buffer, filled))
            begin = 3;
        first = false;
        const char* data = buffer.constData();
        const char* rest = handleLines(data + begin, data + filled, got == 0, handler, finished);
        begin = rest - data;
        if (!finished && progress && !progress(done, total)) {
            cancelled = true;
            break;
        }
    }
    RawBlock block = handler.take();
    block.cancelled = cancelled;
    return block;
}

QStringConverter::Encoding decoderEncoding(TextEncoding encoding)
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

RawBlock readDecoded(QFile& file, const QString& path, const ImportOptions& options, const ImportProgress& progress)
{
    LineHandler<char16_t> handler(options, options.encoding);
    QStringDecoder decoder(decoderEncoding(options.encoding));
    const bool utf16 = options.encoding == TextEncoding::Utf16 || options.encoding == TextEncoding::Utf16LE ||
                       options.encoding == TextEncoding::Utf16BE;
    const qint64 total = file.size();
    QByteArray piece(kPieceBytes, Qt::Uninitialized);
    QString text;
    QByteArray tail;  // the file's last bytes read so far
    qint64 done = 0;
    bool finished = false;
    bool cancelled = false;
    while (!finished) {
        const qint64 got = file.read(piece.data(), piece.size());
        if (got < 0)
            throwReadError("Cannot read file", path, file.errorString());
        done += got;
        text += decoder(QByteArrayView(piece.constData(), got));
        if (got > 0) {
            const qint64 kept = std::min<qint64>(got, 4);
            tail = tail.append(piece.constData() + got - kept, kept).right(4);
        }
        // A character cut at the end of the file cannot be decoded; show that something was there.
        if (got == 0 && (utf16 ? done % 2 != 0 : endsInsideCharacter(tail, options.encoding)))
            text += QChar(QChar::ReplacementCharacter);
        const char16_t* data = QStringView(text).utf16();
        const char16_t* rest = handleLines(data, data + text.size(), got == 0, handler, finished);
        text.remove(0, rest - data);
        if (text.size() > kMaxLineLength)
            throwReadError("Cannot read file", path, QStringLiteral("A line is longer than 64 MiB."));
        if (!finished && progress && !progress(done, total)) {
            cancelled = true;
            break;
        }
    }
    RawBlock block = handler.take();
    block.cancelled = cancelled;
    return block;
}

}  // namespace

RawBlock readTextBlock(const QString& path, const ImportOptions& resolved, const ImportProgress& progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        const QString reason = QFileInfo(path).isDir() ? QStringLiteral("It is a folder.") : file.errorString();
        throwReadError("Cannot open file", path, reason);
    }
    const SplitRule rule = SplitRule::of(resolved.separator, resolved.separatorChar);
    const bool asciiCompatible = resolved.encoding == TextEncoding::Utf8 || resolved.encoding == TextEncoding::Latin1;
    // Bytes can be scanned directly when every byte of a separator, digit or sign stands
    // for itself: UTF-8 and Latin-1 with an ASCII separator.
    if (asciiCompatible && rule.character < 0x80)
        return readAsBytes(file, path, resolved, progress);
    return readDecoded(file, path, resolved, progress);
}

}  // namespace rz
