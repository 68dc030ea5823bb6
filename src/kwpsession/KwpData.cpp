#include "DataCodec.h"
#include "ErrorNumbers.h"
#include "KwpObjects.h"

namespace TavrinKwp {

std::string KwpNumericList::Item(int32_t index)
{
    if (index < 0 || index > LastIndex()) {
        throw sessionError(SessionError::ValueOutOfRange, "No named value at index " + std::to_string(index));
    }
    return values_[static_cast<size_t>(index)].name;
}

KwpNumericList::KwpNumericList(std::shared_ptr<const VehicleRuntime> runtime, const std::vector<NamedValue>& values)
    : runtime_(std::move(runtime)), values_(values)
{
    for (const auto& value : values)
        byName_.emplace(value.name, value.number);
}

int32_t KwpNumericList::Value(const std::string& name)
{
    if (auto found = byName_.find(name); found != byName_.end()) return found->second;
    throw sessionError(SessionError::UnknownName, "No named value '" + name + "'");
}

KwpData::KwpData(std::shared_ptr<const VehicleRuntime> runtime, std::weak_ptr<KwpRequest> request,
                 const DataDescription& model)
    : runtime_(std::move(runtime)), request_(std::move(request)), model_(model), value_(model.defaultValue)
{
    if (model.namedValues) list_ = std::make_shared<KwpNumericList>(runtime_, *model.namedValues);
    if (!model.device.empty()) device_ = std::make_shared<KwpDataDevice>(model.device);
}

Sorvik3::RequestRef KwpData::Request()
{
    auto request = request_.lock();
    if (!request)
        throw sessionError(SessionError::UnknownName,
                           "The request of data item '" + model_.name + "' is no longer there");
    return request;
}

std::string KwpData::ValueText()
{
    if (!model_.inResponse) return model_.kind == DataKind::Number ? formatPhysical(model_, value_) : std::string();
    auto request = request_.lock();
    if (!request || request->answer().empty()) return {};
    if (model_.kind == DataKind::Bytes) return hexText(readBytes(request->answer(), model_));
    auto raw = readRaw(request->answer(), model_);
    if (!raw) return {};
    // A running test reads the same item on every tick, and its value mostly holds: the text is made when it changes.
    if (!rawText_ || rawText_->first != *raw)
        rawText_.emplace(*raw, formatPhysical(model_, physicalFromRaw(model_, *raw)));
    return rawText_->second;
}

double KwpData::NumericValue()
{
    if (model_.kind == DataKind::Bytes)
        throw sessionError(SessionError::NotNumeric, "Data item '" + model_.name + "' holds bytes");
    if (!model_.inResponse) return value_;
    auto request = request_.lock();
    if (!request) return 0.0;
    auto raw = readRaw(request->answer(), model_);
    if (raw) return physicalFromRaw(model_, *raw);
    // A cut answer holds no value: it must never read as zero (zero may mean "stopped").
    if (!request->answer().empty())
        throw sessionError(SessionError::BadFrame,
                           "The answer to '" + request->Name() + "' holds no value for '" + model_.name + "'");
    return 0.0;
}

void KwpData::checkWritable() const
{
    if (model_.inResponse || model_.kind != DataKind::Number) {
        throw sessionError(SessionError::NotWritable, "Data item '" + model_.name + "' cannot be set");
    }
}

void KwpData::store(double physical)
{
    rawFromPhysical(model_, physical);  // refuses what the item's bytes cannot carry
    value_ = physical;
    auto request = request_.lock();
    setOrder_ = request ? request->nextSetOrder() : setOrder_ + 1;
}

void KwpData::setNumericValue(int32_t value)
{
    checkWritable();
    store(value);
}

void KwpData::setPhysicalValue(double value)
{
    checkWritable();
    store(value);
}

void KwpData::setValueName(const std::string& name)
{
    checkWritable();
    if (!list_) throw sessionError(SessionError::NotNumeric, "Data item '" + model_.name + "' has no named values");
    store(list_->Value(name));
}

}  // namespace TavrinKwp
