// The diagnostic session library as the control sees it. A real library and the
// simulated vehicle both implement these classes; the control only calls them.
// No Qt here: a session library must not depend on the control's toolkit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
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

// The number of the Error a Send throws when the ECU refuses a return of control
// because it is no longer in the diagnostic session that control was lent in
// (S3 passed, it was switched off): it has taken its outputs back itself, which
// is neither a confirmed stop nor a failed one. Other failures never carry it.
constexpr int32_t kControlTakenBackByEcu = 0x101B;

class Session;
class Ecu;
class Request;
class Data;
class NumericList;
class ReadList;
class DataDevice;
class AsyncCalls;

using SessionRef = std::shared_ptr<Session>;
using EcuRef = std::shared_ptr<Ecu>;
using RequestRef = std::shared_ptr<Request>;
using DataRef = std::shared_ptr<Data>;
using NumericListRef = std::shared_ptr<NumericList>;
using ReadListRef = std::shared_ptr<ReadList>;
using DataDeviceRef = std::shared_ptr<DataDevice>;

// Objects are handed out as shared pointers; an object keeps alive what it
// needs, so a host may hold any one of them alone. "None" is an empty pointer.
// Every member may throw Error; none throws anything else.

// A diagnostic session on one vehicle.
class Session {
  public:
    virtual ~Session() = default;
    // The vehicle's ECUs, always in the same order.
    virtual std::vector<EcuRef> Ecus() = 0;
    // False while communication with some ECU is open.
    virtual bool CommunicationStopped() = 0;
    // Closes the communication with every ECU.
    virtual void StopCommunication() = 0;
    // A new, empty list of data items to read together.
    virtual ReadListRef CreateReadList() = 0;
    // Asks a request that waits through "response pending" to give up at once
    // (its Send then throws); made while a request is under way, e.g. for an
    // emergency stop. A library that cannot do this does nothing.
    virtual void InterruptWait() {}
    // The calls that wait on the line, made without holding the caller's thread;
    // none for a library that only makes them as above (the default).
    virtual AsyncCalls* Async() { return nullptr; }
};

// One ECU of the vehicle.
class Ecu {
  public:
    virtual ~Ecu() = default;
    // The ECU's number; 0 means it offers no output control.
    virtual int32_t Id() = 0;
    virtual std::string Name() = 0;
    virtual std::string Description() = 0;
    // The request of that exact name; throws for an unknown one.
    virtual RequestRef Request(const std::string& name) = 0;
    // The data items of all its requests.
    virtual std::vector<DataRef> DataItems() = 0;
    // Whether Init has opened the communication.
    virtual bool Initialized() = 0;
    // Opens the communication; returns when the ECU has answered, throws when it has not.
    virtual void Init() = 0;
};

// A request of an ECU with the data items it sends and those its answer holds.
class Request {
  public:
    virtual ~Request() = default;
    virtual std::string Name() = 0;
    // The ECU it belongs to.
    virtual EcuRef Ecu() = 0;
    // The item of that exact name; throws for an unknown one.
    virtual DataRef Data(const std::string& name) = 0;
    virtual std::vector<DataRef> Items() = 0;
    // Sends the request with its items as they are set and decodes the answer
    // into them; returns when the exchange is over, throws on a negative answer
    // (the response code is the number), a timeout or a malformed answer.
    virtual void Send() = 0;
    // The bytes as text ("82 11 F1 3E 01 C3"): sent true, the request as it
    // stands (before a Send, the one it will send); sent false, the last answer.
    virtual std::string FrameText(bool sent) = 0;
};

// One data item of a request.
class Data {
  public:
    virtual ~Data() = default;
    virtual std::string Name() = 0;
    virtual std::string Unit() = 0;
    // Its named values, or none when it has none.
    virtual NumericListRef NumericList() = 0;
    // The request it belongs to.
    virtual RequestRef Request() = 0;
    // The device it belongs to, or none.
    virtual DataDeviceRef Device() = 0;
    // True for an item of the answer.
    virtual bool InResponse() = 0;
    // The current value as shown: the name of a named value, else the number with its decimals.
    virtual std::string ValueText() = 0;
    // The current value in the item's units.
    virtual double NumericValue() = 0;
    // The value to send, a whole number; throws when the item cannot carry it.
    virtual void setNumericValue(int32_t value) = 0;
    // The value to send in the item's own units, fractions included (3.5 bar).
    // A library that takes whole numbers only gets the nearest one.
    virtual void setPhysicalValue(double value)
    {
        setNumericValue(static_cast<int32_t>(std::clamp(std::nearbyint(value), -2147483648.0, 2147483647.0)));
    }
    // The value to send, by the name of one of its named values; throws for an unknown name.
    virtual void setValueName(const std::string& name) = 0;
};

// The named values of an item, indexed 0 to LastIndex.
class NumericList {
  public:
    virtual ~NumericList() = default;
    // The last index; -1 for an empty list.
    virtual int32_t LastIndex() = 0;
    // The name at that index; throws outside 0 to LastIndex.
    virtual std::string Item(int32_t index) = 0;
    // The number of that name; throws for an unknown one.
    virtual int32_t Value(const std::string& name) = 0;
};

// Data items read together.
class ReadList {
  public:
    virtual ~ReadList() = default;
    virtual void Add(DataRef item) = 0;
    virtual int32_t Count() = 0;
    // The requests whose Send reads every item of the list, each once.
    virtual std::vector<RequestRef> Requests() = 0;
};

// The device (actuator) a data item belongs to.
class DataDevice {
  public:
    virtual ~DataDevice() = default;
    virtual std::string Name() = 0;
};

// A call begun through AsyncCalls.
class PendingCall {
  public:
    virtual ~PendingCall() = default;
    // Completes the call on the caller's thread once its `done` was called: a
    // request's items take the answer and FrameText gives its frames. Throws
    // what the waiting call would have thrown. Called once at most.
    virtual void Finish() = 0;
};
using PendingCallRef = std::shared_ptr<PendingCall>;

// A library that can make the three calls that wait on the line (Send, Init,
// StopCommunication) without holding its caller's thread offers them here.
// Calls begun are carried out one after the other in the order begun, after
// any call already on the line. Each `done` is called once, from any thread
// (possibly before Begin returns), and must not call the library. A call begun
// is carried out even when its PendingCall is let go of: a stop begun by a
// caller that is gone still goes out. Begin throws Error only for a call that
// cannot be begun (an object of another library); what the line does is
// thrown by Finish.
class AsyncCalls {
  public:
    virtual ~AsyncCalls() = default;
    // Send of the request with its items as they are set now.
    virtual PendingCallRef BeginSend(const RequestRef& request, std::function<void()> done) = 0;
    virtual PendingCallRef BeginInit(const EcuRef& ecu, std::function<void()> done) = 0;
    virtual PendingCallRef BeginStopCommunication(std::function<void()> done) = 0;
    // Tells `lost` (from any thread, and it must not call the library) when the
    // line to the vehicle goes away between calls, an unplugged interface or
    // adapter, with the error the next call meets. A new one replaces the former,
    // an empty one ends the watch; once this returns the former is not running
    // and is not called again. A library that cannot tell does nothing.
    virtual void WatchLine(std::function<void(const Error&)> lost) { (void)lost; }
};

}  // namespace Sorvik3
