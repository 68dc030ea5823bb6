// The diagnostic session library as the control sees it. A real library and the
// simulated vehicle both implement these classes; the control only calls them.
// No Qt here: a session library must not depend on the control's toolkit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace Sorvik3 {

// Every failing call throws this. The number is what the control shows in its
// status bar and hands to the host through ErrorMsg.
class Error : public std::runtime_error {
  public:
    Error(int32_t number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description))
    {}
    int32_t number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

  private:
    int32_t number_;
    std::string description_;
};

class Session;
class Ecu;
class Request;
class Data;
class NumericList;
class ReadList;
class DataDevice;

using SessionRef = std::shared_ptr<Session>;
using EcuRef = std::shared_ptr<Ecu>;
using RequestRef = std::shared_ptr<Request>;
using DataRef = std::shared_ptr<Data>;
using NumericListRef = std::shared_ptr<NumericList>;
using ReadListRef = std::shared_ptr<ReadList>;
using DataDeviceRef = std::shared_ptr<DataDevice>;

class Session {
  public:
    virtual ~Session() = default;
    virtual std::vector<EcuRef> Ecus() = 0;
    virtual bool CommunicationStopped() = 0;
    virtual void StopCommunication() = 0;
    virtual ReadListRef CreateReadList() = 0;
};

class Ecu {
  public:
    virtual ~Ecu() = default;
    virtual int32_t Id() = 0;
    virtual std::string Name() = 0;
    virtual std::string Description() = 0;
    virtual RequestRef Request(const std::string& name) = 0;
    virtual std::vector<DataRef> DataItems() = 0;
    virtual bool Initialized() = 0;
    virtual void Init() = 0;
};

class Request {
  public:
    virtual ~Request() = default;
    virtual std::string Name() = 0;
    virtual EcuRef Ecu() = 0;
    virtual DataRef Data(const std::string& name) = 0;
    virtual std::vector<DataRef> Items() = 0;
    virtual void Send() = 0;
    virtual std::string FrameText(bool sent) = 0;
};

class Data {
  public:
    virtual ~Data() = default;
    virtual std::string Name() = 0;
    virtual std::string Unit() = 0;
    virtual NumericListRef NumericList() = 0;
    virtual RequestRef Request() = 0;
    virtual DataDeviceRef Device() = 0;
    virtual bool InResponse() = 0;
    virtual std::string ValueText() = 0;
    virtual double NumericValue() = 0;
    virtual void setNumericValue(int32_t value) = 0;
    // The value to send in the item's own units, fractions included (3.5 bar).
    // A library that takes whole numbers only gets the nearest one.
    virtual void setPhysicalValue(double value)
    {
        setNumericValue(static_cast<int32_t>(std::clamp(std::nearbyint(value), -2147483648.0, 2147483647.0)));
    }
    virtual void setValueName(const std::string& name) = 0;
};

class NumericList {
  public:
    virtual ~NumericList() = default;
    virtual int32_t LastIndex() = 0;
    virtual std::string Item(int32_t index) = 0;
    virtual int32_t Value(const std::string& name) = 0;
};

class ReadList {
  public:
    virtual ~ReadList() = default;
    virtual void Add(DataRef item) = 0;
    virtual int32_t Count() = 0;
    virtual std::vector<RequestRef> Requests() = 0;
};

class DataDevice {
  public:
    virtual ~DataDevice() = default;
    virtual std::string Name() = 0;
};

}  // namespace Sorvik3
