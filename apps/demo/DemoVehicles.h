// Vehicles for the demo host: simulated on a line as slow as a real K-line, or reached through a real link.
#pragma once

#include "KwpSession.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

struct LineTiming {
    uint32_t latencyMs = 25;    // the ECU's answer time, per exchange
    uint32_t byteTimeUs = 960;  // 10400 baud
};

// Where the sessions opened from now on look for SecurityAccess key plug-ins.
void useKeyPluginFolders(std::vector<std::string> folders);

// The compiled-in demo vehicle when path is empty, over the link a connection string names
// (the simulated vehicle takes the timing). Throws Sorvik3::Error for a refused file or link.
std::shared_ptr<TavrinKwp::KwpSession> openVehicle(const QString& path, LineTiming timing,
                                                   const QString& link = QStringLiteral("sim"));
