// rorevadi-cli-drawing: the batch tool with its drawing libraries loaded, to which
// rorevadi-cli hands over the runs that draw pictures or test sheets.
#include "cli/ChartDrawing.h"
#include "cli/Startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>

int main(int argc, char** argv)
{
    rz::cli::ParsedArguments parsed;
    if (const std::optional<int> status = rz::cli::parseAndAnswer(argc, argv, parsed))
        return *status;

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
    // Destroyed before the application object, as its chart must be.
    rz::cli::ChartDrawing drawing;
    return rz::cli::runOnStandardStreams(parsed.options, qobject_cast<QApplication*>(app.get()) ? &drawing : nullptr);
}
