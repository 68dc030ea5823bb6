#include "ErrorNumbers.h"
#include "SimObjects.h"

namespace Sorvik3Sim {

SimEcu::SimEcu(std::shared_ptr<VehicleRuntime> runtime, size_t index) : runtime_(std::move(runtime)), index_(index) {}

void SimEcu::createRequests()
{
    for (const auto& request : model().requests) {
        auto created = std::make_shared<SimRequest>(runtime_, weak_from_this(), index_, request);
        created->createItems();
        requests_.push_back(std::move(created));
    }
}

Sorvik3::RequestRef SimEcu::Request(const std::string& name)
{
    for (const auto& request : requests_) {
        if (request->Name() == name) return request;
    }
    throw Sorvik3::Error(UnknownName, "ECU '" + model().name + "' has no request '" + name + "'");
}

std::vector<Sorvik3::DataRef> SimEcu::DataItems()
{
    std::vector<Sorvik3::DataRef> items;
    for (const auto& request : requests_) {
        for (auto& item : request->Items()) items.push_back(std::move(item));
    }
    return items;
}

void SimReadList::Add(Sorvik3::DataRef item)
{
    if (!item) throw Sorvik3::Error(UnknownName, "A read list takes data items, not none");
    items_.push_back(std::move(item));
}

std::vector<Sorvik3::RequestRef> SimReadList::Requests()
{
    std::vector<Sorvik3::RequestRef> requests;
    for (const auto& item : items_) {
        auto request = item->Request();
        bool known = false;
        for (const auto& r : requests) known = known || r == request;
        if (!known) requests.push_back(std::move(request));
    }
    return requests;
}

} // namespace Sorvik3Sim
