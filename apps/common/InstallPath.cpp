#include "InstallPath.h"

#include <QCoreApplication>
#include <QDir>

namespace TavrinApps {

QString defaultInstallPath()
{
    return QDir::cleanPath(
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral(TAVRIN_DATA_FROM_PROGRAMS)));
}

}  // namespace TavrinApps
