#pragma once

// The fixture of the batch tool's tests of one curve: a folder for its files, the window's
// model replayed for comparison, and a published curve.
#include "../core/WorkbenchTestSupport.h"

#include "core/workbench/Workbench.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

// Named, not anonymous: the tests of one suite in two files must share one fixture type.
namespace rz::test {

// What the window holds after the import of path and one Calculate with these texts.
struct Replay {
    RecordingUi ui;
    Workbench wb;
    Replay(const QString& path, QChar sep = QLatin1Char('.'), const QString& lr = QStringLiteral("0.15"),
           const QString& secant = QStringLiteral("0.1"), const QString& park = QStringLiteral("0.75"))
        : wb(ui, sep, QString())
    {
        wb.setFieldText(Field::edt12, lr);
        wb.setFieldText(Field::edt17, secant);
        wb.setFieldText(Field::edt1, park);
        wb.importConfirmed(path);
        wb.btn1Click();
    }
};

inline QByteArray afterFirstLine(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf("\r\n");
    return end < 0 ? QByteArray() : bytes.mid(end + 2);
}
class CliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString put(const QString& name, const QByteArray& bytes) { return writeFile(dir, name, bytes); }
    QString outDir()
    {
        QDir(dir.path()).mkpath(QStringLiteral("out"));
        return dir.filePath(QStringLiteral("out"));
    }
};

inline const QString kRealCurve = QStringLiteral(RZ_TEST_DATA_DIR "/real/cfs_steel_screw_connection_monotonic_01.csv");

}  // namespace rz::test
