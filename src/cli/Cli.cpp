#include "cli/Cli.h"
