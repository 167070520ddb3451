#pragma once

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
    r.code = cli::run(args, out, err);
    out.flush();
    err.flush();
    return r;
}

}  // namespace rz::test
