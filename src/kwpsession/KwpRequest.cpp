#include "ErrorNumbers.h"
#include "KwpObjects.h"
#include "LineCall.h"
#include "RequestCodec.h"

#include <algorithm>

namespace TavrinKwp {

KwpRequest::KwpRequest(std::shared_ptr<VehicleRuntime> runtime, std::weak_ptr<KwpEcu> ecu, size_t ecuIndex,
                       const RequestDescription& model)
    : runtime_(std::move(runtime)), ecu_(std::move(ecu)), ecuIndex_(ecuIndex), model_(model)
{}

void KwpRequest::createItems()
{
    for (const auto& item : model_.items) {
        items_.push_back(std::make_shared<KwpData>(runtime_, weak_from_this(), item));
        byName_.emplace(item.name, items_.back());
    }
}

Sorvik3::EcuRef KwpRequest::Ecu()
{
    auto ecu = ecu_.lock();
    if (!ecu)
        throw sessionError(SessionError::UnknownName, "The ECU of request '" + model_.name + "' is no longer there");
    return ecu;
}

Sorvik3::DataRef KwpRequest::Data(const std::string& name)
{
    if (auto found = byName_.find(name); found != byName_.end()) return found->second;
    throw sessionError(SessionError::UnknownName, "Request '" + model_.name + "' has no data item '" + name + "'");
}

std::vector<Sorvik3::DataRef> KwpRequest::Items()
{
    return {items_.begin(), items_.end()};
}

Bytes KwpRequest::encodeRequest() const
{
    std::vector<const KwpData*> order;
    for (const auto& item : items_) {
        if (!item->model().inResponse && item->model().kind == DataKind::Number) order.push_back(item.get());
    }
    // Items that share bytes (the two device lists do): the one set last wins.
    std::stable_sort(order.begin(), order.end(),
                     [](const KwpData* a, const KwpData* b) { return a->setOrder() < b->setOrder(); });
    std::vector<ItemValue> values;
    values.reserve(order.size());
    for (const KwpData* item : order)
        values.push_back({&item->model(), item->requestValue()});
    return TavrinKwp::encodeRequest(model_, values);
}

void KwpRequest::Send()
{
    exchange_ = Exchange{};
    sentAtOrder_ = setOrders_;
    runtime_->transmit(ecuIndex_, model_, encodeRequest(), exchange_);
}

Sorvik3::PendingCallRef KwpRequest::beginSend(std::function<void()> done)
{
    // The runtime waits for the job before it goes; the exchange is the job's own until Finish.
    auto exchange = std::make_shared<Exchange>();
    VehicleRuntime* runtime = runtime_.get();
    return beginLineCall(
        *runtime,
        [runtime, index = ecuIndex_, &model = model_, data = encodeRequest(), exchange] {
            runtime->transmit(index, model, data, *exchange);
        },
        std::move(done),
        [self = shared_from_this(), exchange, order = setOrders_] {
            self->exchange_ = std::move(*exchange);
            self->sentAtOrder_ = order;
        });
}

std::string KwpRequest::FrameText(bool sent)
{
    if (!sent) return hexText(exchange_.receivedFrame);
    // The frame as the request stands now: before a send, the one it will send;
    // after it, while no item was written since, the one that went out (a running
    // test logs every exchange, and framing it again costs more than the rest).
    if (sentAtOrder_ == setOrders_ && !exchange_.sentFrame.empty()) return hexText(exchange_.sentFrame);
    try {
        return hexText(runtime_->link().frame(runtime_->model().ecus[ecuIndex_], encodeRequest()));
    } catch (const Sorvik3::Error&) {
        return hexText(exchange_.sentFrame);
    }
}

}  // namespace TavrinKwp
