// Whole data files through detection, the preview and the import with options. The first
// byte picks given options (separator, decimal separator, encoding, columns); the rest is
// the file. Oracle: the piece-wise reader (bytes or decoded UTF-16) gives exactly the
// points and the stop of the preview, which splits the decoded head line by line.
#include "core/import/Detect.h"
#include "core/import/FileHead.h"
#include "core/import/ImportPreview.h"
#include "core/import/TextBlockReader.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

rz::ImportOptions givenOptions(std::uint8_t pick)
{
    rz::ImportOptions options = rz::ImportOptions::detectEverything();
    constexpr rz::FieldSeparator separators[] = {rz::FieldSeparator::Auto,      rz::FieldSeparator::Plain,
                                                 rz::FieldSeparator::Comma,     rz::FieldSeparator::Semicolon,
                                                 rz::FieldSeparator::Tab,       rz::FieldSeparator::Blanks,
                                                 rz::FieldSeparator::Character, rz::FieldSeparator::Auto};
    options.separator = separators[pick & 7];
    options.separatorChar = u'|';
    options.decimal = (pick & 8) ? rz::DecimalSeparator::Comma : rz::DecimalSeparator::Auto;
    if (pick & 16) {
        options.displacement = {rz::ColumnMode::Number, 2, {}};
        options.load = {rz::ColumnMode::Number, 1, {}};
    }
    if (pick & 32)
        options.skipLines = (pick >> 6) & 3;
    return options;
}

const QString& scratchFile()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("input.txt"));
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > (1 << 16))
        return 0;
    const rz::ImportOptions given = givenOptions(data[0]);
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));

    rz::FileHead head;
    head.bytes = bytes;
    head.fileSize = bytes.size();
    head.complete = true;
    const rz::ImportPreview preview = rz::previewImport(head, given, rz::kHeadLines);
    const rz::Detection& detection = preview.detection;
    if (!detection.ok()) {
        require(preview.points.empty(), "points without detection");
        return 0;
    }
    const rz::ImportOptions& used = detection.options;
    require(used.encoding != rz::TextEncoding::Auto && used.separator != rz::FieldSeparator::Auto &&
                used.decimal != rz::DecimalSeparator::Auto && used.skipLines.has_value() &&
                used.header.mode != rz::LineMode::Auto && used.units.mode != rz::LineMode::Auto,
            "detection left an option on Auto");
    require(used.displacement.mode == rz::ColumnMode::Number && used.load.mode == rz::ColumnMode::Number &&
                used.displacement.number >= 1 && used.load.number >= 1 && used.displacement.number != used.load.number,
            "columns not resolved to two different numbers");
    std::size_t dataLines = 0;
    for (const rz::PreviewLine& line : preview.lines)
        dataLines += line.role == rz::LineRole::Data ? 1 : 0;
    require(dataLines == preview.points.size(), "data lines and points differ");

    // The head holds the whole file only when it has fewer lines than the limit.
    if (preview.lines.size() >= static_cast<std::size_t>(rz::kHeadLines))
        return 0;
    {
        QFile file(scratchFile());
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
                "cannot write the scratch file");
    }
    const rz::RawBlock block = rz::readTextBlock(scratchFile(), used, {});
    require(block.points.size() == preview.points.size(), "reader and preview read different numbers of points");
    for (std::size_t i = 0; i < block.points.size(); ++i)
        require(sameBits(block.points[i].x, preview.points[i].x) && sameBits(block.points[i].y, preview.points[i].y),
                "reader and preview read different points");
    std::int64_t endLine = -1;
    for (std::size_t i = 0; i < preview.lines.size(); ++i)
        if (preview.lines[i].role == rz::LineRole::End)
            endLine = static_cast<std::int64_t>(i);
    require(block.stopLine == endLine, "reader and preview stop at different lines");
    return 0;
}
