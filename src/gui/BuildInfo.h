#pragma once

#include <QString>

// What a bug report needs to know about this build, and where an installed program
// keeps its data.
namespace rz {

// The program's version, as --version and the About box show it ("2019.03.08").
QString programVersion();
// The day the build was configured, ISO 8601 ("2025-03-01"), in UTC.
QString buildDate();
// The libraries in use, for the About box: "Libraries: Qt 6.4.2, QCustomPlot 2.1.0,
// libxlsxwriter 1.1.4". Qt and libxlsxwriter report the versions loaded at run time;
// QCustomPlot has no such call, so its header's version is given.
QString librariesLine();
// The name of the desktop entry ("example.rorevadi.Rorevadi"): the desktop finds the
// window's menu entry and icon through it.
QString applicationId();
// The installed sample curves' folder relative to the folder of the installed
// executable ("../share/rorevadi/samples" for any prefix).
QString samplesFolderFromProgram();

}  // namespace rz
