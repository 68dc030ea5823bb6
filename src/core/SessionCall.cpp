#include "SessionCall.h"

#include "Flow.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <mutex>

namespace TavrinIoCtl {

struct SessionCall::Wake {
    std::mutex mutex;
    bool over = false;
    std::coroutine_handle<> flow;  // set once the flow waits
    std::weak_ptr<void> alive;     // the flow's owner; gone, the flow is not resumed

    // On the library's thread: the flow goes on on the application's thread. The
    // library's own objects are not held here (they might go on its thread).
    static void callOver(const std::shared_ptr<Wake>& wake)
    {
        std::lock_guard lock(wake->mutex);
        wake->over = true;
        if (!wake->flow) return;
        auto* application = QCoreApplication::instance();
        if (!application) return;
        QMetaObject::invokeMethod(
            application,
            [wake] {
                if (wake->alive.expired()) return;
                wake->flow.resume();
            },
            Qt::QueuedConnection);
    }
};

SessionCall::SessionCall(const FlowOwner& owner, Sorvik3::SessionRef session, std::function<void()> call, Begin begin)
    : session_(std::move(session)), call_(std::move(call)), begin_(std::move(begin)), wake_(std::make_shared<Wake>())
{
    wake_->alive = owner.alive();
}

SessionCall SessionCall::send(const FlowOwner& owner, const Sorvik3::SessionRef& session,
                              const Sorvik3::RequestRef& request)
{
    return {owner, session, [request] { request->Send(); },
            [request](Sorvik3::AsyncCalls& calls, std::function<void()> done) {
                return calls.BeginSend(request, std::move(done));
            }};
}

SessionCall SessionCall::init(const FlowOwner& owner, const Sorvik3::SessionRef& session, const Sorvik3::EcuRef& ecu)
{
    return {owner, session, [ecu] { ecu->Init(); },
            [ecu](Sorvik3::AsyncCalls& calls, std::function<void()> done) {
                return calls.BeginInit(ecu, std::move(done));
            }};
}

SessionCall SessionCall::stopCommunication(const FlowOwner& owner, const Sorvik3::SessionRef& session)
{
    return {owner, session, [session] { session->StopCommunication(); },
            [](Sorvik3::AsyncCalls& calls, std::function<void()> done) {
                return calls.BeginStopCommunication(std::move(done));
            }};
}

bool SessionCall::await_ready()
{
    Sorvik3::AsyncCalls* async = nullptr;
    if (session_) failure_ = attempt([&] { async = session_->Async(); });
    if (failure_) return true;
    if (!async) {
        failure_ = attempt(call_);
        return true;
    }
    failure_ = attempt([&] { pending_ = begin_(*async, [wake = wake_] { Wake::callOver(wake); }); });
    if (failure_) return true;
    std::lock_guard lock(wake_->mutex);
    return wake_->over;
}

bool SessionCall::await_suspend(std::coroutine_handle<> flow)
{
    std::lock_guard lock(wake_->mutex);
    // Over in the meantime: the flow goes on at once.
    if (wake_->over) return false;
    wake_->flow = flow;
    return true;
}

std::optional<Failure> SessionCall::await_resume()
{
    if (pending_) failure_ = attempt([&] { std::exchange(pending_, nullptr)->Finish(); });
    return failure_;
}

}  // namespace TavrinIoCtl
