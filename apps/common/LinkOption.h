// The --link option, worded the same in every program that reaches a vehicle.
#pragma once

#include <QCommandLineOption>

namespace TavrinApps {

inline QCommandLineOption linkOption()
{
    return QCommandLineOption(
        QStringLiteral("link"),
        QStringLiteral("The vehicle's link: sim (default), kline:PORT[?baud=N&echo=0|1], kline:loopback, "
                       "can:PLUGIN:INTERFACE[?bitrate=N], can:loopback, an ELM327 or STN adapter "
                       "elm:PORT[?baud=N&bitrate=N&protocol=auto|kline|can] or elm:loopback[?chip=elm|stn] "
                       "(see docs/links.md)."),
        QStringLiteral("connection"), QStringLiteral("sim"));
}

// Where an ECU's SecurityAccess key plug-ins are looked for (keyPluginFolders()).
inline QCommandLineOption keyPluginsOption()
{
    return QCommandLineOption(
        QStringLiteral("key-plugins"),
        QStringLiteral("A folder of SecurityAccess key plug-ins, searched in the order given (may be repeated); "
                       "without it the folders of TAVRIN_KEY_PLUGINS, else the programs' own "
                       "(see docs/vehicle-format.md)."),
        QStringLiteral("folder"));
}

}  // namespace TavrinApps
