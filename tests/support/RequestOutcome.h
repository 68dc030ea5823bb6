// What a request brought back over a link: its error number and the service
// bytes of the answer (a K-line frame unwrapped), so that two links can be
// compared request by request.
#pragma once

#include "ErrorOf.h"
#include "Kwp2000Frame.h"
#include "Sorvik3.h"

#include <string>
#include <utility>

inline std::pair<int, std::string> requestOutcome(Sorvik3::Session& session, size_t ecu, const std::string& request,
                                                  bool kline)
{
    auto sent = session.Ecus()[ecu]->Request(request);
    const int error = errorOf([&] { sent->Send(); });
    std::string answer = sent->FrameText(false);
    if (kline && !answer.empty())
        answer = TavrinKwp::hexText(TavrinKwp::decodeFrame(*TavrinKwp::parseHex(answer))->data);
    return {error, answer};
}
