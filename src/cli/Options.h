#pragma once

#include "cli/ImportFlags.h"
#include "core/chart/PictureFormat.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

// The batch tool's command line: every option is one row of a table (Options.cpp) that
// gives its names, its value, its help lines and what it sets; the parser and the help
// text are made from that table.
namespace rz::cli {

struct Options {
    QString loadReduction = QStringLiteral("0.15");
    QString secant = QStringLiteral("0.1");
    QString park = QStringLiteral("0.75");
    QChar separator = QLatin1Char('.');
    bool json = false;
    QString reportPath;
    QString outDir;
    std::optional<PictureFormat> picture;
    bool xlsx = false;
    bool sheet = false;  // the one-page test sheet (PDF) of every file
    int excelLayout = 0;
    QString summaryPath;  // .csv or .xlsx
    int jobs = 0;         // files analysed at once; 0: one per core
    bool recursive = false;
    QStringList files;   // as given: folders and "-" are expanded when the run starts
    ImportFlags import;  // the import with options (ImportFlags.h)
    // --cyclic: each file is a cyclic record, analysed per loading direction.
    bool cyclic = false;
    CyclicOptions cyclicOptions;
    std::optional<Direction> direction;  // --direction; nullopt: both
};

struct ParsedArguments {
    Options options;
    bool help = false;
    bool version = false;
    QString error;  // a usage error; empty when the arguments are good
};

// args excludes the program name. Parses once, with QCommandLineParser: "--opt value"
// and "--opt=value", "--" before files that begin with a dash. Needs no application
// object, so the caller can choose one from the options.
ParsedArguments parseArguments(const QStringList& args);

QString usageText();

}  // namespace rz::cli
