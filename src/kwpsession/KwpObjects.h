// The session-library objects of the simulated vehicle. Children hold their
// parents weakly and the runtime strongly: no cycles, and a request stays
// usable for as long as the control keeps it.
#pragma once

#include "Sorvik3.h"
#include "VehicleRuntime.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace TavrinKwp {

class KwpEcu;
class KwpRequest;

class KwpNumericList final : public Sorvik3::NumericList {
  public:
    // The list reads its values from the description the runtime holds: it keeps the runtime.
    KwpNumericList(std::shared_ptr<const VehicleRuntime> runtime, const std::vector<NamedValue>& values);
    int32_t LastIndex() override { return static_cast<int32_t>(values_.size()) - 1; }
    std::string Item(int32_t index) override;
    int32_t Value(const std::string& name) override;

  private:
    std::shared_ptr<const VehicleRuntime> runtime_;
    const std::vector<NamedValue>& values_;
    std::unordered_map<std::string, int32_t> byName_;
};

class KwpDataDevice final : public Sorvik3::DataDevice {
  public:
    explicit KwpDataDevice(std::string name) : name_(std::move(name)) {}
    std::string Name() override { return name_; }

  private:
    std::string name_;
};

class KwpData final : public Sorvik3::Data {
  public:
    // A host may keep a data item alone: it holds the runtime whose description it reads.
    KwpData(std::shared_ptr<const VehicleRuntime> runtime, std::weak_ptr<KwpRequest> request,
            const DataDescription& model);
    std::string Name() override { return model_.name; }
    std::string Unit() override { return model_.unit; }
    Sorvik3::NumericListRef NumericList() override { return list_; }
    Sorvik3::RequestRef Request() override;
    Sorvik3::DataDeviceRef Device() override { return device_; }
    bool InResponse() override { return model_.inResponse; }
    std::string ValueText() override;
    double NumericValue() override;
    void setNumericValue(int32_t value) override;
    void setPhysicalValue(double value) override;
    void setValueName(const std::string& name) override;

    const DataDescription& model() const { return model_; }
    double requestValue() const { return value_; }
    uint64_t setOrder() const { return setOrder_; }

  private:
    void checkWritable() const;
    void store(double physical);

    std::shared_ptr<const VehicleRuntime> runtime_;
    std::weak_ptr<KwpRequest> request_;
    const DataDescription& model_;
    std::shared_ptr<KwpNumericList> list_;
    std::shared_ptr<KwpDataDevice> device_;
    double value_;
    uint64_t setOrder_ = 0;
    std::optional<std::pair<int64_t, std::string>> rawText_;  // the last raw value read from an answer, as text
};

class KwpRequest final : public Sorvik3::Request, public std::enable_shared_from_this<KwpRequest> {
  public:
    KwpRequest(std::shared_ptr<VehicleRuntime> runtime, std::weak_ptr<KwpEcu> ecu, size_t ecuIndex,
               const RequestDescription& model);
    void createItems();

    std::string Name() override { return model_.name; }
    Sorvik3::EcuRef Ecu() override;
    Sorvik3::DataRef Data(const std::string& name) override;
    std::vector<Sorvik3::DataRef> Items() override;
    void Send() override;
    // Send without waiting: the bytes as the items stand now go out after the
    // calls already on the line; Finish takes the frames and the answer.
    Sorvik3::PendingCallRef beginSend(std::function<void()> done);
    std::string FrameText(bool sent) override;

    // The service bytes of the last positive answer; empty before one came.
    const Bytes& answer() const { return exchange_.answer; }
    uint64_t nextSetOrder() { return ++setOrders_; }

  private:
    Bytes encodeRequest() const;

    std::shared_ptr<VehicleRuntime> runtime_;
    std::weak_ptr<KwpEcu> ecu_;
    size_t ecuIndex_;
    const RequestDescription& model_;
    std::vector<std::shared_ptr<KwpData>> items_;
    std::unordered_map<std::string, std::shared_ptr<KwpData>> byName_;
    Exchange exchange_;
    uint64_t setOrders_ = 0;
    std::optional<uint64_t> sentAtOrder_;  // setOrders_ when the exchange's bytes were taken
};

class KwpEcu final : public Sorvik3::Ecu, public std::enable_shared_from_this<KwpEcu> {
  public:
    KwpEcu(std::shared_ptr<VehicleRuntime> runtime, size_t index);
    void createRequests();

    int32_t Id() override { return model().id; }
    std::string Name() override { return model().name; }
    std::string Description() override { return model().description; }
    Sorvik3::RequestRef Request(const std::string& name) override;
    std::vector<Sorvik3::DataRef> DataItems() override;
    bool Initialized() override { return runtime_->initialized(index_); }
    void Init() override { runtime_->init(index_); }
    Sorvik3::PendingCallRef beginInit(std::function<void()> done);

  private:
    const EcuDescription& model() const { return runtime_->model().ecus[index_]; }

    std::shared_ptr<VehicleRuntime> runtime_;
    size_t index_;
    std::vector<std::shared_ptr<KwpRequest>> requests_;
    std::unordered_map<std::string, std::shared_ptr<KwpRequest>> byName_;
};

class KwpReadList final : public Sorvik3::ReadList {
  public:
    void Add(Sorvik3::DataRef item) override;
    int32_t Count() override { return static_cast<int32_t>(items_.size()); }
    std::vector<Sorvik3::RequestRef> Requests() override;

  private:
    std::vector<Sorvik3::DataRef> items_;
};

}  // namespace TavrinKwp
