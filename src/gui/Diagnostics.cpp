#include "gui/Diagnostics.h"

Q_LOGGING_CATEGORY(lcWindow, "rorevadi.window", QtWarningMsg)
