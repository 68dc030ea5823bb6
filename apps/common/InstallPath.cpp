#include "InstallPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

namespace TavrinApps {

QString defaultInstallPath()
{
    return QDir::cleanPath(
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral(TAVRIN_DATA_FROM_PROGRAMS)));
}

std::vector<std::string> keyPluginFolders(const QStringList& named)
{
    std::vector<std::string> folders;
    for (const QString& folder : named)
        folders.push_back(QDir::cleanPath(QDir::current().absoluteFilePath(folder)).toStdString());
    if (!folders.empty()) return folders;
    const QString fromEnvironment = qEnvironmentVariable("TAVRIN_KEY_PLUGINS");
    // A relative entry would be found from wherever the program was started: it is skipped, and said so.
    for (const QString& folder : fromEnvironment.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder))
            folders.push_back(folder.toStdString());
        else
            std::fprintf(stderr, "%s: TAVRIN_KEY_PLUGINS: '%s' is not an absolute folder: skipped\n",
                         qPrintable(QCoreApplication::applicationName()), qPrintable(folder));
    }
    if (!folders.empty()) return folders;
    return {QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                                .absoluteFilePath(QStringLiteral(TAVRIN_KEY_PLUGINS_FROM_PROGRAMS)))
                .toStdString()};
}

}  // namespace TavrinApps
