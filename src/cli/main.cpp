#include "cli/Cli.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <clocale>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    // Parsed once, before the application object is chosen: pictures and test sheets need
    // the drawing support of a QApplication, everything else a plain QCoreApplication.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const rz::cli::ParsedArguments parsed = rz::cli::parseArguments(args);
    {
        QTextStream out(stdout);
        QTextStream err(stderr);
        if (const std::optional<int> status = rz::cli::answerWithoutRunning(parsed, out, err))
            return *status;
    }

    std::unique_ptr<QCoreApplication> app;
    if (parsed.options.picture || parsed.options.sheet) {
        // Drawn without a display, so the batch tool also runs on servers.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Drawing asks for a runtime folder; without a session there is none.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            static QTemporaryDir runtimeDir;
            qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
        }
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    std::setlocale(LC_NUMERIC, "C");

    QTextStream out(stdout);
    QTextStream err(stderr);
    return rz::cli::run(parsed.options, out, err);
}
