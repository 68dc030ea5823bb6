#include "DriveLedger.h"

#include <algorithm>

namespace TavrinIoCtl {

namespace {

bool same(const DrivenDevice& a, const DrivenDevice& b)
{
    return a.ecu == b.ecu && a.device == b.device;
}

}  // namespace

std::vector<DrivenDevice>::iterator DriveLedger::find(const DrivenDevice& device)
{
    return std::find_if(devices_.begin(), devices_.end(), [&](const DrivenDevice& held) { return same(held, device); });
}

void DriveLedger::mayBeDriven(const DrivenDevice& device)
{
    if (auto held = find(device); held != devices_.end()) {
        *held = device;  // started again, perhaps in the other mode: its latest stop holds
        return;
    }
    devices_.push_back(device);
    if (onChange) onChange();
}

void DriveLedger::stopped(const DrivenDevice& device)
{
    auto held = find(device);
    if (held == devices_.end()) return;
    devices_.erase(held);
    if (onChange) onChange();
}

bool DriveLedger::holds(const DrivenDevice& device) const
{
    return std::any_of(devices_.begin(), devices_.end(), [&](const DrivenDevice& held) { return same(held, device); });
}

QStringList DriveLedger::names() const
{
    QStringList all;
    for (const auto& held : devices_)
        all << held.device;
    return all;
}

}  // namespace TavrinIoCtl
