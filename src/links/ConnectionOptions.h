// The options of a connection string, checked, for whoever opens its link.
#pragma once

#include "CanLink.h"
#include "Connection.h"
#include "ElmLink.h"
#include "KLineLink.h"
#include "LinkRegistry.h"

#include <string>

namespace TavrinKwp {

// Throw Sorvik3::Error(SessionError::BadConnection) for an unknown option or a bad value; text names the connection.
KLineOptions klineOptions(const std::string& text, const Connection& connection);
CanOptions canOptions(const std::string& text, const Connection& connection);
// The bus options alone, for a kind of link that names its own bus.
CanOptions canBusOptions(const std::string& text, const Connection& connection);
ElmOptions elmOptions(const std::string& text, const Connection& connection);

}  // namespace TavrinKwp
