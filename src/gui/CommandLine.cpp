#include "gui/CommandLine.h"

#include "gui/BuildInfo.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace rz {

namespace {

constexpr char kProgramName[] = "rorevadi";

// Options that QGuiApplication and QApplication read from the command line themselves.
// Declared hidden so that our parser neither refuses them nor takes their values for files.
constexpr const char* kToolkitOptionsWithValue[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "name",          "title",  "visual"};
constexpr const char* kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};

    Parser()
    {
        // Qt's own options are single-dash words ("-platform offscreen").
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.setApplicationDescription(
            QStringLiteral("Rorevadi Zadiz ovo Rudevadiz: finds the characteristic points of a load-displacement\n"
                           "curve (peak load, ultimate displacement, initial stiffness, yield point by three\n"
                           "methods, ductility), draws the curve and each method's construction, and writes a\n"
                           "CSV report, a chart picture and an Excel workbook. For many files without a window,\n"
                           "use rorevadi-cli."));
        parser.addOption(help);
        parser.addOption(version);
        for (const char* name : kToolkitOptionsWithValue) {
            QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
        for (const char* name : kToolkitFlags) {
            QCommandLineOption option(QString::fromLatin1(name));
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
        parser.addPositionalArgument(
            QStringLiteral("FILE"),
            QStringLiteral("Load-displacement data file (CSV or text) to import at start, exactly as "
                           "File > Import Load-Displacement Data does. Several files open Batch Analysis "
                           "with them listed, as when they are dropped on the window."),
            QStringLiteral("[FILE...]"));
    }
};

}  // namespace

DesktopCommandLine parseDesktopCommandLine(const QStringList& arguments)
{
    Parser p;
    DesktopCommandLine result;
    if (!p.parser.parse(arguments)) {
        result.action = DesktopAction::UsageError;
        result.error = p.parser.errorText();
        return result;
    }
    if (p.parser.isSet(p.help)) {
        result.action = DesktopAction::ShowHelp;
        return result;
    }
    if (p.parser.isSet(p.version)) {
        result.action = DesktopAction::ShowVersion;
        return result;
    }
    for (const QString& file : p.parser.positionalArguments())
        result.files << QFileInfo(file).absoluteFilePath();
    return result;
}

int answerDesktopCommandLine(const DesktopCommandLine& commandLine, QTextStream& out, QTextStream& err)
{
    switch (commandLine.action) {
        case DesktopAction::ShowHelp: {
            Parser p;
            // The usage line names the program as the user calls it, not the path it was started by.
            QString text = p.parser.helpText();
            const qsizetype nameEnd = text.indexOf(QStringLiteral(" [options]"));
            if (text.startsWith(QStringLiteral("Usage: ")) && nameEnd > 0)
                text.replace(7, nameEnd - 7, QLatin1String(kProgramName));
            out << text;
            out.flush();
            return kDesktopExitOk;
        }
        case DesktopAction::ShowVersion:
            out << kProgramName << ' ' << programVersion() << '\n';
            out.flush();
            return kDesktopExitOk;
        case DesktopAction::UsageError:
            err << kProgramName << ": " << commandLine.error << '\n'
                << "Try '" << kProgramName << " --help' for more information.\n";
            err.flush();
            return kDesktopExitUsage;
        case DesktopAction::OpenWindow:
            break;
    }
    return kDesktopExitOk;
}

}  // namespace rz
