#include "ErrorNumbers.h"
#include "KwpObjects.h"
#include "LineCall.h"

#include <unordered_set>

namespace TavrinKwp {

KwpEcu::KwpEcu(std::shared_ptr<VehicleRuntime> runtime, size_t index) : runtime_(std::move(runtime)), index_(index)
{}

void KwpEcu::createRequests()
{
    for (const auto& request : model().requests) {
        auto created = std::make_shared<KwpRequest>(runtime_, weak_from_this(), index_, request);
        created->createItems();
        byName_.emplace(request.name, created);
        requests_.push_back(std::move(created));
    }
}

Sorvik3::PendingCallRef KwpEcu::beginInit(std::function<void()> done)
{
    VehicleRuntime* runtime = runtime_.get();
    return beginLineCall(
        *runtime, [runtime, index = index_] { runtime->init(index); }, std::move(done));
}

Sorvik3::RequestRef KwpEcu::Request(const std::string& name)
{
    if (auto found = byName_.find(name); found != byName_.end()) return found->second;
    throw sessionError(SessionError::UnknownName, "ECU '" + model().name + "' has no request '" + name + "'");
}

std::vector<Sorvik3::DataRef> KwpEcu::DataItems()
{
    std::vector<Sorvik3::DataRef> items;
    for (const auto& request : requests_) {
        for (auto& item : request->Items())
            items.push_back(std::move(item));
    }
    return items;
}

void KwpReadList::Add(Sorvik3::DataRef item)
{
    if (!item) throw sessionError(SessionError::UnknownName, "A read list takes data items, not none");
    items_.push_back(std::move(item));
}

std::vector<Sorvik3::RequestRef> KwpReadList::Requests()
{
    std::vector<Sorvik3::RequestRef> requests;
    std::unordered_set<const Sorvik3::Request*> seen;
    for (const auto& item : items_) {
        auto request = item->Request();
        if (seen.insert(request.get()).second) requests.push_back(std::move(request));
    }
    return requests;
}

}  // namespace TavrinKwp
