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
    // Pictures are drawn without a display, so the batch tool also runs on servers.
    bool wantsPicture = false;
    for (int i = 1; i < argc; ++i)
        wantsPicture = wantsPicture || std::string_view(argv[i]) == "--picture";
    std::unique_ptr<QCoreApplication> app;
    if (wantsPicture) {
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
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return rz::cli::run(args, out, err);
}
