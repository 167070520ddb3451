// The batch tool's options: what each one does with the files and factor texts given.
#include "../core/WorkbenchTestSupport.h"
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace rz {
namespace {

using namespace rz::test;

// The worked example with decimal commas, blank-separated.
const QByteArray kCommaFile = "Weg Kraft\n0 0\n1 50\n\"1,5\" 75\n2 80\n3 95\n4 100\n5 90\n6 80\n";

QJsonObject onlyJson(const CliRun& r)
{
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    EXPECT_EQ(lines.size(), 1) << r.out.toStdString();
    return QJsonDocument::fromJson(lines.value(0)).object();
}

class CliOptions : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString put(const QString& name, const QByteArray& bytes) { return writeFile(dir, name, bytes); }
};

TEST_F(CliOptions, UnderADecimalCommaTheDefaultFactorsAreWrittenWithIt)
{
    const QString file = put(QStringLiteral("komma.csv"), kCommaFile);
    const CliRun r =
        runCli({QStringLiteral("--json"), QStringLiteral("--decimal-separator"), QStringLiteral(","), file});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject j = onlyJson(r);
    const QJsonObject factors = j[QStringLiteral("factors")].toObject();
    EXPECT_EQ(factors[QStringLiteral("LoadReductionFactor")].toString(), QStringLiteral("0,15"));
    EXPECT_EQ(factors[QStringLiteral("SecantLoadFactor")].toString(), QStringLiteral("0,1"));
    EXPECT_EQ(factors[QStringLiteral("ParkLoadFactor")].toString(), QStringLiteral("0,75"));
    EXPECT_EQ(j[QStringLiteral("state")].toObject()[QStringLiteral("UltimateDisp")].toDouble(), 5.5);
}

TEST_F(CliOptions, AFactorGivenIsTakenAsWrittenUnderADecimalComma)
{
    const QString file = put(QStringLiteral("komma.csv"), kCommaFile);
    const CliRun r = runCli({QStringLiteral("--json"), QStringLiteral("--decimal-separator"), QStringLiteral(","),
                             QStringLiteral("--park"), QStringLiteral("0.5"), file});
    EXPECT_EQ(r.code, 1);
    const QJsonObject j = onlyJson(r);
    EXPECT_EQ(j[QStringLiteral("factors")].toObject()[QStringLiteral("ParkLoadFactor")].toString(),
              QStringLiteral("0.5"));
    const QJsonArray messages = j[QStringLiteral("messages")].toArray();
    ASSERT_FALSE(messages.isEmpty());
    const QJsonObject last = messages.last().toObject();
    EXPECT_EQ(last[QStringLiteral("level")].toString(), QStringLiteral("warning"));
    EXPECT_EQ(last[QStringLiteral("text")].toString(), QStringLiteral("'0.5' is not a valid floating point value"));
}

TEST_F(CliOptions, TheSameFileTwiceIntoOneOutDirIsOneReport)
{
    const QString file = put(QStringLiteral("worked.csv"), workedExampleFile());
    QDir(dir.path()).mkpath(QStringLiteral("out"));
    const QString out = dir.filePath(QStringLiteral("out"));
    const CliRun r = runCli({QStringLiteral("--out-dir"), out, file, file});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("worked_YieldingPoint.csv")});
}

}  // namespace
}  // namespace rz
