#pragma once

// Helpers for the import-option tests: fixture paths, files written on the fly, and
// point lists compared to the bit.
#include "core/chart/Series.h"
#include "core/import/DataFileReader.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <bit>
#include <cstdint>
#include <vector>

namespace rz::test {

inline QString importFixture(const QString& name)
{
    return QStringLiteral(RZ_TEST_DATA_DIR "/import_options/") + name;
}

// The converted twin of a raw file: "displacement,load" and the points, read by the plain
// reader (a decimal point, file order).
inline std::vector<Point> twinPoints(const QString& name)
{
    return readCurve(decodeText(readWholeFile(importFixture(name))), u'.').points;
}

inline void expectSamePoints(const std::vector<Point>& actual, const std::vector<Point>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(actual[i].x), std::bit_cast<std::uint64_t>(expected[i].x))
            << "x of point " << i << ": " << actual[i].x << " vs " << expected[i].x;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(actual[i].y), std::bit_cast<std::uint64_t>(expected[i].y))
            << "y of point " << i << ": " << actual[i].y << " vs " << expected[i].y;
    }
}

// Files written into a temporary folder for one test.
class TempFiles {
public:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            ADD_FAILURE() << "cannot write " << path.toStdString();
        return path;
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

}  // namespace rz::test
