#include "core/io/ZipArchive.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

namespace rz {
namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

TEST(ZipArchive, WrittenEntriesReadBackAndAReplacementKeepsTheOthers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.zip"));
    const QByteArray big = QByteArray("<row>1</row>").repeated(5000);
    replaceZipEntries(path, {{QStringLiteral("a.xml"), big}, {QStringLiteral("dir/b.xml"), QByteArray("<b/>")}});

    replaceZipEntries(path, {{QStringLiteral("dir/b.xml"), QByteArray("<b>new</b>")}});

    const ZipReader zip = ZipReader::openFile(path);
    EXPECT_EQ(zip.entryNames(), (QStringList{QStringLiteral("a.xml"), QStringLiteral("dir/b.xml")}));
    EXPECT_EQ(zip.read(QStringLiteral("a.xml")), big);
    EXPECT_EQ(zip.read(QStringLiteral("dir/b.xml")), QByteArray("<b>new</b>"));
    EXPECT_EQ(zip.entrySize(QStringLiteral("a.xml")), big.size());
    EXPECT_EQ(zip.entrySize(QStringLiteral("nothing")), -1);
    EXPECT_THROW(zip.read(QStringLiteral("nothing")), ZipError);
    EXPECT_THROW(zip.read(QStringLiteral("a.xml"), 100), ZipError);

    // In pieces: the same bytes, no piece larger than asked for.
    QByteArray pieces;
    qsizetype largest = 0;
    zip.readChunks(
        QStringLiteral("a.xml"),
        [&](QByteArrayView piece) {
            pieces.append(piece);
            largest = std::max(largest, piece.size());
        },
        4096);
    EXPECT_EQ(pieces, big);
    EXPECT_LE(largest, 4096);
    EXPECT_THROW(zip.readChunks(QStringLiteral("nothing"), [](QByteArrayView) {}), ZipError);

    const ZipReader inMemory = ZipReader::fromBytes(fileBytes(path), QStringLiteral("book"));
    EXPECT_TRUE(inMemory.contains(QStringLiteral("dir/b.xml")));
    EXPECT_EQ(inMemory.read(QStringLiteral("a.xml")), big);
}

TEST(ZipArchive, DamagedOrForeignBytesAreRefusedWithTheArchivesName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.zip"));
    replaceZipEntries(path, {{QStringLiteral("a.xml"), QByteArray("<row>1</row>").repeated(5000)}});
    const QByteArray good = fileBytes(path);

    // A flipped byte inside the compressed data: the CRC check must catch it.
    QByteArray flipped = good;
    flipped[good.size() / 3] = static_cast<char>(flipped[good.size() / 3] ^ 0x55);
    bool refused = false;
    try {
        ZipReader::fromBytes(flipped, QStringLiteral("flipped")).read(QStringLiteral("a.xml"));
    } catch (const ZipError& e) {
        refused = true;
        EXPECT_NE(QString::fromUtf8(e.what()).indexOf(QStringLiteral("flipped")), -1);
    }
    EXPECT_TRUE(refused);
    EXPECT_THROW(ZipReader::fromBytes(flipped, QStringLiteral("flipped"))
                     .readChunks(
                         QStringLiteral("a.xml"), [](QByteArrayView) {}, 1024),
                 ZipError);

    EXPECT_THROW(ZipReader::fromBytes(good.left(good.size() - 10), QStringLiteral("cut")), ZipError);
    EXPECT_THROW(ZipReader::fromBytes(QByteArray("displacement,load\n1,2\n"), QStringLiteral("csv")), ZipError);
    writeBytes(dir.filePath(QStringLiteral("text.xlsx")), QByteArray("not a zip"));
    EXPECT_THROW(ZipReader::openFile(dir.filePath(QStringLiteral("text.xlsx"))), ZipError);
    EXPECT_THROW(ZipReader::openFile(dir.filePath(QStringLiteral("missing.xlsx"))), ZipError);
}

}  // namespace
}  // namespace rz
