// The --link option, worded the same in every program that reaches a vehicle.
#pragma once

#include <QCommandLineOption>

namespace TavrinApps {

inline QCommandLineOption linkOption()
{
    return QCommandLineOption(
        QStringLiteral("link"),
        QStringLiteral("The vehicle's link: sim (default), kline:PORT[?baud=N&echo=0|1], kline:loopback, "
                       "can:PLUGIN:INTERFACE[?bitrate=N] or can:loopback (see docs/links.md)."),
        QStringLiteral("connection"), QStringLiteral("sim"));
}

}  // namespace TavrinApps
