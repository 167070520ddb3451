#pragma once

#include "cli/Drawing.h"
#include "cli/Options.h"

#include <optional>

// The steps the batch tool's two programs share: rorevadi-cli, which starts without the
// drawing libraries, and the drawing program it hands a run over to when the run draws.
namespace rz::cli {

// Parses the arguments (argv[0] left out) into parsed; help, version and usage errors are
// answered here, and their exit status returned: nothing else is to run then. Called
// before any application object exists, which the arguments choose.
std::optional<int> parseAndAnswer(int argc, char** argv, ParsedArguments& parsed);

// The run on standard input, output and error, numbers read and written with a point.
int runOnStandardStreams(const Options& options, Drawing* drawing);

}  // namespace rz::cli
