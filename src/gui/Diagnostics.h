#pragma once

#include <QLoggingCategory>

// What the window does, for bug reports and for tests of the installed program:
//   QT_LOGGING_RULES="rorevadi.window.info=true" rorevadi FILE
// Off by default.
Q_DECLARE_LOGGING_CATEGORY(lcWindow)
