#include "RequestMatcher.h"

#include "RequestCodec.h"

namespace TavrinKwp {

RequestMatcher::RequestMatcher(const EcuDescription& ecu)
{
    for (const auto& request : ecu.requests) {
        Shape shape{&request, request.templateBytes, writtenPositions(request)};
        shape.fixed.resize(shape.free.size(), 0);
        shapes_.push_back(std::move(shape));
    }
}

const RequestDescription* RequestMatcher::recognise(const Bytes& message) const
{
    const RequestDescription* best = nullptr;
    size_t bestAgreement = 0;
    for (const auto& shape : shapes_) {
        if (shape.fixed.size() != message.size() || message.empty() || shape.request->service != message[0]) continue;
        bool fits = true;
        size_t agreement = 0;
        for (size_t i = 0; i < message.size() && fits; ++i) {
            const bool same = shape.fixed[i] == message[i];
            fits = same || shape.free[i];
            agreement += same ? 1 : 0;
        }
        if (fits && (best == nullptr || agreement > bestAgreement)) {
            best = shape.request;
            bestAgreement = agreement;
        }
    }
    return best;
}

bool RequestMatcher::offers(uint8_t service) const
{
    for (const auto& shape : shapes_) {
        if (shape.request->service == service) return true;
    }
    return false;
}

}  // namespace TavrinKwp
