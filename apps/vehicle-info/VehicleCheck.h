// What the control will find in a vehicle description, and what it will miss,
// found by the control itself: it is loaded on the vehicle offscreen and each
// ECU and device is chosen in turn, so the lookups and synonyms are the real ones.
#pragma once

#include "KwpSession.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace VehicleInfo {

struct EcuFindings {
    QString ecu;
    QStringList found;
    QStringList missing;  // what keeps a test from running or stopping as it should
};

// Throws Sorvik3::Error when the control cannot start (language file).
std::vector<EcuFindings> checkVehicle(const std::shared_ptr<TavrinKwp::KwpSession>& session, const QString& installPath,
                                      const std::vector<std::string>& keyFolders);

}  // namespace VehicleInfo
