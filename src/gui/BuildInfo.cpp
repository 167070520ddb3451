#include "gui/BuildInfo.h"

#include "gui/BuildConfig.h"

#include <qcustomplot.h>
#include <xlsxwriter.h>
#include <QtGlobal>

namespace rz {

QString programVersion()
{
    return QStringLiteral(RZ_PROGRAM_VERSION);
}

QString buildDate()
{
    return QStringLiteral(RZ_BUILD_DATE);
}

QString librariesLine()
{
    return QStringLiteral("Libraries: Qt %1, QCustomPlot %2, libxlsxwriter %3")
        .arg(QString::fromLatin1(qVersion()), QStringLiteral(QCUSTOMPLOT_VERSION_STR),
             QString::fromLatin1(lxw_version()));
}

QString applicationId()
{
    return QStringLiteral(RZ_APP_ID);
}

QString samplesFolderFromProgram()
{
    return QStringLiteral(RZ_SAMPLES_FROM_PROGRAM);
}

}  // namespace rz
