// One call of the session that may wait on the line, for a Flow to await:
// `auto failure = co_await SessionCall::send(owner, session, request);`. With
// a session library that offers Sorvik3::AsyncCalls, the call is begun and the
// flow goes on, on the window's thread, when the library says it is over; the
// window's thread never waits for it. With any other library the call is made
// at once, as the interface says. Either way the result is the call's failure,
// if any.
#pragma once

#include "PendingError.h"
#include "Sorvik3.h"

#include <coroutine>
#include <functional>
#include <memory>
#include <optional>

namespace TavrinIoCtl {

class FlowOwner;

class SessionCall {
  public:
    static SessionCall send(const FlowOwner& owner, const Sorvik3::SessionRef& session,
                            const Sorvik3::RequestRef& request);
    static SessionCall init(const FlowOwner& owner, const Sorvik3::SessionRef& session, const Sorvik3::EcuRef& ecu);
    static SessionCall stopCommunication(const FlowOwner& owner, const Sorvik3::SessionRef& session);

    bool await_ready();
    bool await_suspend(std::coroutine_handle<> flow);
    std::optional<Failure> await_resume();

    // What the line's thread and the window's share.
    struct Wake;

  private:
    using Begin = std::function<Sorvik3::PendingCallRef(Sorvik3::AsyncCalls&, std::function<void()>)>;
    SessionCall(const FlowOwner& owner, Sorvik3::SessionRef session, std::function<void()> call, Begin begin);

    Sorvik3::SessionRef session_;
    std::function<void()> call_;  // the waiting call, for a library without AsyncCalls
    Begin begin_;
    std::shared_ptr<Wake> wake_;
    Sorvik3::PendingCallRef pending_;
    std::optional<Failure> failure_;
};

}  // namespace TavrinIoCtl
