#include "cli/Startup.h"

#include "cli/Cli.h"

#include <QTextStream>
#include <clocale>
#include <cstdio>

namespace rz::cli {

std::optional<int> parseAndAnswer(int argc, char** argv, ParsedArguments& parsed)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    parsed = parseArguments(args);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return answerWithoutRunning(parsed, out, err);
}

int runOnStandardStreams(const Options& options, Drawing* drawing)
{
    std::setlocale(LC_NUMERIC, "C");
    QTextStream out(stdout);
    QTextStream err(stderr);
    return run(options, out, err, nullptr, drawing);
}

}  // namespace rz::cli
