#pragma once

#include "cli/ChartDrawing.h"
#include "cli/Cli.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace rz::test {

struct CliRun {
    int code;
    QByteArray out;
    QString err;
};

// The batch tool run in-process, its standard output and error caught.
inline CliRun runCli(const QStringList& args)
{
    CliRun r;
    QBuffer outDevice(&r.out);
    outDevice.open(QIODevice::WriteOnly);
    QTextStream out(&outDevice);
    QTextStream err(&r.err);
    // The tests' program has a QApplication, as the drawing program has.
    cli::ChartDrawing drawing;
    r.code = cli::run(args, out, err, nullptr, &drawing);
    out.flush();
    err.flush();
    return r;
}

}  // namespace rz::test
