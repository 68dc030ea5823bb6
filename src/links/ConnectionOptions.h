// The options of a connection string, checked, for whoever opens its link.
#pragma once

#include "CanLink.h"
#include "ElmLink.h"
#include "KLineLink.h"
#include "LinkFactory.h"

#include <string>

namespace TavrinKwp {

// Throw Sorvik3::Error(SessionError::BadConnection) for an unknown option or a bad value; text names the connection.
KLineOptions klineOptions(const std::string& text, const Connection& connection);
CanOptions canOptions(const std::string& text, const Connection& connection);
// "chip" (elm or stn) is taken for elm:loopback only: which adapter the emulation plays.
ElmOptions elmOptions(const std::string& text, const Connection& connection, bool* stn = nullptr);

}  // namespace TavrinKwp
