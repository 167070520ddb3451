#include "cli/Cli.h"
#include "cli/Startup.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace {

// Hands the run over to the drawing program, with the same arguments and streams (nothing
// is read or written before); returns only when that program cannot be started. It is
// found beside this one in a build, and where it is installed relative to this one.
int handOverToDrawing(char** argv)
{
    const QString here = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString candidates[] = {here + QStringLiteral("rorevadi-cli-drawing"),
                                  here + QStringLiteral(RZ_CLI_DRAWING_FROM_PROGRAM)};
    QTextStream err(stderr);
    for (const QString& program : candidates) {
        if (!QFileInfo(program).isFile())
            continue;
        execv(QFile::encodeName(program).constData(), argv);
        err << "rorevadi-cli: pictures and test sheets are drawn by " << program
            << ", which could not be started: " << QString::fromLocal8Bit(std::strerror(errno)) << "\n";
        return rz::cli::kExitUsage;
    }
    err << "rorevadi-cli: pictures and test sheets are drawn by " << candidates[1]
        << ", which is not there: reinstall the program\n";
    return rz::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv)
{
    rz::cli::ParsedArguments parsed;
    if (const std::optional<int> status = rz::cli::parseAndAnswer(argc, argv, parsed))
        return *status;
    QCoreApplication app(argc, argv);
    if (parsed.options.picture || parsed.options.sheet)
        return handOverToDrawing(argv);
    return rz::cli::runOnStandardStreams(parsed.options, nullptr);
}
