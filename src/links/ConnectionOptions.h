// The options of a connection string, checked, for whoever opens its link.
#pragma once

#include "CanLink.h"
#include "KLineLink.h"
#include "LinkFactory.h"

#include <string>

namespace TavrinKwp {

// Throw Sorvik3::Error(SessionError::BadConnection) for an unknown option or a bad value; text names the connection.
KLineOptions klineOptions(const std::string& text, const Connection& connection);
CanOptions canOptions(const std::string& text, const Connection& connection);

}  // namespace TavrinKwp
