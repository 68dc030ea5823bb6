#include "FaultySession.h"
#include "FaultInjector.h"
#include "SimulatedVehicle.h"

#include <stdexcept>

namespace FaultSweep {

void CallCounter::enter(const char* member, const std::string& ecu, const std::string& request)
{
    ++calls_;
    const std::string what = std::string("injected failure of call ") + std::to_string(calls_) + " (" + member + ")";
    if (way_ == Way::LinkDead && calls_ >= failAt_) {
        applied_ = true;
        throw Sorvik3::Error(0x1011, "the link is lost: " + what);
    }
    if (calls_ != failAt_) return;
    const bool send = std::string(member) == "Send";
    const bool init = std::string(member) == "Init";
    using Kind = TavrinKwp::FaultDescription::Kind;
    const auto spoil = [&](Kind kind) {
        applied_ = send;
        if (send) TavrinKwp::simulatedVehicle(*vehicle_).faults().spoilAnswer(ecu, request, kind, 1);
    };
    switch (way_) {
    case Way::SessionError: applied_ = true; throw Sorvik3::Error(0x7001, what);
    case Way::OtherException: applied_ = true; throw std::runtime_error(what);
    case Way::NotAnException: applied_ = true; throw 42;
    case Way::NegativeAnswer:
    case Way::Timeout:
    case Way::Persistent: {
        const int count = way_ == Way::Persistent ? TavrinKwp::FaultInjector::kAlways : 1;
        applied_ = send || init;
        if (init) TavrinKwp::simulatedVehicle(*vehicle_).faults().failInit(ecu, count);
        if (send && way_ != Way::Timeout)
            TavrinKwp::simulatedVehicle(*vehicle_).faults().answerNegatively(ecu, request, 0x22, count);
        if (send && way_ == Way::Timeout) TavrinKwp::simulatedVehicle(*vehicle_).faults().dropAnswer(ecu, request, 1);
        return;
    }
    case Way::Lost: return spoil(Kind::Lost);
    case Way::Late: return spoil(Kind::Late);
    case Way::Cut: return spoil(Kind::Cut);
    case Way::Stale: return spoil(Kind::Stale);
    case Way::LinkDead: return;
    }
}

template <typename Wrapper, typename Inner>
std::shared_ptr<Wrapper> CallCounter::wrap(const std::shared_ptr<Inner>& inner)
{
    if (!inner) return nullptr;
    auto& slot = wrappers_[inner.get()];
    if (auto existing = std::static_pointer_cast<Wrapper>(slot.lock())) return existing;
    auto created = std::make_shared<Wrapper>(inner, *this);
    slot = created;
    return created;
}

namespace {

using Counter = CallCounter;

class FDevice final : public Sorvik3::DataDevice {
  public:
    FDevice(Sorvik3::DataDeviceRef inner, Counter& c) : inner_(std::move(inner)), c_(c) {}
    std::string Name() override { return c_.enter("DataDevice.Name"), inner_->Name(); }

  private:
    Sorvik3::DataDeviceRef inner_;
    Counter& c_;
};

class FList final : public Sorvik3::NumericList {
  public:
    FList(Sorvik3::NumericListRef inner, Counter& c) : inner_(std::move(inner)), c_(c) {}
    int32_t LastIndex() override { return c_.enter("LastIndex"), inner_->LastIndex(); }
    std::string Item(int32_t index) override { return c_.enter("Item"), inner_->Item(index); }
    int32_t Value(const std::string& name) override { return c_.enter("Value"), inner_->Value(name); }

  private:
    Sorvik3::NumericListRef inner_;
    Counter& c_;
};

class FRequest;

class FData final : public Sorvik3::Data {
  public:
    FData(Sorvik3::DataRef inner, Counter& c) : inner_(std::move(inner)), c_(c) {}
    std::string Name() override { return c_.enter("Data.Name"), inner_->Name(); }
    std::string Unit() override { return c_.enter("Unit"), inner_->Unit(); }
    Sorvik3::NumericListRef NumericList() override;
    Sorvik3::RequestRef Request() override;
    Sorvik3::DataDeviceRef Device() override { return c_.enter("Device"), c_.wrap<FDevice>(inner_->Device()); }
    bool InResponse() override { return c_.enter("InResponse"), inner_->InResponse(); }
    std::string ValueText() override { return c_.enter("ValueText"), inner_->ValueText(); }
    double NumericValue() override { return c_.enter("NumericValue"), inner_->NumericValue(); }
    void setNumericValue(int32_t value) override { c_.enter("setNumericValue"), inner_->setNumericValue(value); }
    void setPhysicalValue(double value) override { c_.enter("setPhysicalValue"), inner_->setPhysicalValue(value); }
    void setValueName(const std::string& name) override { c_.enter("setValueName"), inner_->setValueName(name); }
    const Sorvik3::DataRef& inner() const { return inner_; }

  private:
    Sorvik3::DataRef inner_;
    Counter& c_;
};

class FEcu;

class FRequest final : public Sorvik3::Request {
  public:
    FRequest(Sorvik3::RequestRef inner, Counter& c) : inner_(std::move(inner)), c_(c) {}
    std::string Name() override { return c_.enter("Request.Name"), inner_->Name(); }
    Sorvik3::EcuRef Ecu() override;
    Sorvik3::DataRef Data(const std::string& name) override
    {
        return c_.enter("Request.Data"), c_.wrap<FData>(inner_->Data(name));
    }
    std::vector<Sorvik3::DataRef> Items() override
    {
        c_.enter("Items");
        std::vector<Sorvik3::DataRef> items;
        for (const auto& item : inner_->Items())
            items.push_back(c_.wrap<FData>(item));
        return items;
    }
    void Send() override
    {
        c_.enter("Send", inner_->Ecu()->Name(), inner_->Name());
        inner_->Send();
    }
    std::string FrameText(bool sent) override { return c_.enter("FrameText"), inner_->FrameText(sent); }

  private:
    Sorvik3::RequestRef inner_;
    Counter& c_;
};

class FEcu final : public Sorvik3::Ecu {
  public:
    FEcu(Sorvik3::EcuRef inner, Counter& c) : inner_(std::move(inner)), c_(c) {}
    int32_t Id() override { return c_.enter("Id"), inner_->Id(); }
    std::string Name() override { return c_.enter("Ecu.Name"), inner_->Name(); }
    std::string Description() override { return c_.enter("Description"), inner_->Description(); }
    Sorvik3::RequestRef Request(const std::string& name) override
    {
        return c_.enter("Ecu.Request"), c_.wrap<FRequest>(inner_->Request(name));
    }
    std::vector<Sorvik3::DataRef> DataItems() override
    {
        c_.enter("DataItems");
        std::vector<Sorvik3::DataRef> items;
        for (const auto& item : inner_->DataItems())
            items.push_back(c_.wrap<FData>(item));
        return items;
    }
    bool Initialized() override { return c_.enter("Initialized"), inner_->Initialized(); }
    void Init() override
    {
        c_.enter("Init", inner_->Name());
        inner_->Init();
    }

  private:
    Sorvik3::EcuRef inner_;
    Counter& c_;
};

Sorvik3::NumericListRef FData::NumericList()
{
    return c_.enter("NumericList"), c_.wrap<FList>(inner_->NumericList());
}

Sorvik3::RequestRef FData::Request()
{
    return c_.enter("Data.Request"), c_.wrap<FRequest>(inner_->Request());
}

Sorvik3::EcuRef FRequest::Ecu()
{
    return c_.enter("Request.Ecu"), c_.wrap<FEcu>(inner_->Ecu());
}

class FReadList final : public Sorvik3::ReadList {
  public:
    FReadList(Sorvik3::ReadListRef inner, Counter& c) : inner_(std::move(inner)), c_(c) {}
    void Add(Sorvik3::DataRef item) override
    {
        c_.enter("Add");
        auto* wrapped = dynamic_cast<FData*>(item.get());
        inner_->Add(wrapped ? wrapped->inner() : item);
    }
    int32_t Count() override { return c_.enter("Count"), inner_->Count(); }
    std::vector<Sorvik3::RequestRef> Requests() override
    {
        c_.enter("Requests");
        std::vector<Sorvik3::RequestRef> requests;
        for (const auto& request : inner_->Requests())
            requests.push_back(c_.wrap<FRequest>(request));
        return requests;
    }

  private:
    Sorvik3::ReadListRef inner_;
    Counter& c_;
};

class FSession final : public Sorvik3::Session {
  public:
    FSession(std::shared_ptr<TavrinKwp::KwpSession> inner, Counter& c) : inner_(std::move(inner)), c_(c) {}
    std::vector<Sorvik3::EcuRef> Ecus() override
    {
        c_.enter("Ecus");
        std::vector<Sorvik3::EcuRef> ecus;
        for (const auto& ecu : inner_->Ecus())
            ecus.push_back(c_.wrap<FEcu>(ecu));
        return ecus;
    }
    bool CommunicationStopped() override { return c_.enter("CommunicationStopped"), inner_->CommunicationStopped(); }
    void StopCommunication() override { c_.enter("StopCommunication"), inner_->StopCommunication(); }
    Sorvik3::ReadListRef CreateReadList() override
    {
        return c_.enter("CreateReadList"), c_.wrap<FReadList>(inner_->CreateReadList());
    }

  private:
    std::shared_ptr<TavrinKwp::KwpSession> inner_;
    Counter& c_;
};

}  // namespace

std::shared_ptr<Sorvik3::Session> faultySession(const std::shared_ptr<CallCounter>& counter,
                                                std::shared_ptr<TavrinKwp::KwpSession> vehicle)
{
    return std::make_shared<FSession>(std::move(vehicle), *counter);
}

}  // namespace FaultSweep
