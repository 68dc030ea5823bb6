// How an ECU knows a request from its bytes alone, as a real ECU must: the
// request's name never goes over the wire.
//
// A message is a request of the description when it has the request's service
// and length and every byte that no request item writes equals the request's
// fixed byte. Where several requests fit, the one whose fixed bytes agree with
// more of the message wins (items' positions included, so a status request
// written "30 00 01" wins over a stop written "30 00 00" for command 01), then
// the first in the file.
#pragma once

#include "HexText.h"
#include "VehicleModel.h"

#include <vector>

namespace TavrinKwp {

class RequestMatcher {
  public:
    explicit RequestMatcher(const EcuDescription& ecu);
    // Null when no request of the ECU fits the message.
    const RequestDescription* recognise(const Bytes& message) const;
    // Whether some request of the ECU has this service.
    bool offers(uint8_t service) const;

  private:
    struct Shape {
        const RequestDescription* request;
        Bytes fixed;             // the message's length, the fixed bytes
        std::vector<bool> free;  // written by a request item
    };
    std::vector<Shape> shapes_;
};

}  // namespace TavrinKwp
