// The control's steps that wait for the session are C++20 coroutines: a Flow
// is a step that starts when awaited and hands its result to the step that
// awaits it. Root flows belong to a FlowOwner, which starts them and, when the
// control goes, destroys those still waiting (their session calls go on; what
// they would have done on return is not done).
#pragma once

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <utility>

namespace TavrinIoCtl {

namespace flowDetail {

struct PromiseBase {
    std::coroutine_handle<> continuation;
    std::exception_ptr failure;

    struct Final {
        bool await_ready() const noexcept { return false; }
        template <typename Promise>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> done) const noexcept
        {
            if (auto next = done.promise().continuation) return next;
            return std::noop_coroutine();
        }
        void await_resume() const noexcept {}
    };
    std::suspend_always initial_suspend() const noexcept { return {}; }
    Final final_suspend() const noexcept { return {}; }
    void unhandled_exception() noexcept { failure = std::current_exception(); }
};

template <typename T>
struct Promise;

}  // namespace flowDetail

template <typename T = void>
class [[nodiscard]] Flow {
  public:
    using promise_type = flowDetail::Promise<T>;
    using Handle = std::coroutine_handle<promise_type>;

    explicit Flow(Handle handle) : handle_(handle) {}
    Flow(Flow&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Flow& operator=(Flow&&) = delete;
    Flow(const Flow&) = delete;
    ~Flow()
    {
        if (handle_) handle_.destroy();
    }

    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept
    {
        handle_.promise().continuation = awaiting;
        return handle_;
    }
    T await_resume()
    {
        auto& promise = handle_.promise();
        if (promise.failure) std::rethrow_exception(promise.failure);
        if constexpr (!std::is_void_v<T>) return std::move(*promise.value);
    }

  private:
    Handle handle_;
};

namespace flowDetail {

template <typename T>
struct Promise : PromiseBase {
    std::optional<T> value;
    Flow<T> get_return_object() { return Flow<T>(Flow<T>::Handle::from_promise(*this)); }
    void return_value(T result) { value = std::move(result); }
};

template <>
struct Promise<void> : PromiseBase {
    Flow<void> get_return_object() { return Flow<void>(Flow<void>::Handle::from_promise(*this)); }
    void return_void() noexcept {}
};

}  // namespace flowDetail

// Starts root flows and keeps those that wait. A flow that ends frees itself;
// one still waiting when the owner goes is destroyed with it.
class FlowOwner {
  public:
    FlowOwner() = default;
    FlowOwner(const FlowOwner&) = delete;
    FlowOwner& operator=(const FlowOwner&) = delete;
    ~FlowOwner() { destroyAll(); }

    // Told of what a root flow threw (the control reports it: nothing reaches the event loop).
    std::function<void(std::exception_ptr)> onFailure;

    // Runs the flow now, up to its first wait; the rest when its calls return.
    void start(Flow<void> flow);
    // Destroys every flow that waits, deepest step first; none is resumed afterwards.
    void destroyAll();
    // Whether a root flow waits; alive() stays valid until the owner goes or destroyAll.
    bool waiting() const { return !roots_.empty(); }
    std::weak_ptr<void> alive() const { return alive_; }

  private:
    struct Root;
    static Root run(FlowOwner& owner, Flow<void> flow);

    std::set<std::coroutine_handle<>> roots_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// A detached coroutine that awaits one root flow; registered with its owner while it lives.
struct FlowOwner::Root {
    struct promise_type {
        FlowOwner& owner;
        promise_type(FlowOwner& flowOwner, Flow<void>&) : owner(flowOwner)
        {
            owner.roots_.insert(std::coroutine_handle<promise_type>::from_promise(*this));
        }
        ~promise_type() { owner.roots_.erase(std::coroutine_handle<promise_type>::from_promise(*this)); }
        Root get_return_object() noexcept { return {}; }
        std::suspend_never initial_suspend() const noexcept { return {}; }
        std::suspend_never final_suspend() const noexcept { return {}; }
        void return_void() noexcept {}
        void unhandled_exception() noexcept
        {
            if (owner.onFailure) owner.onFailure(std::current_exception());
        }
    };
};

inline FlowOwner::Root FlowOwner::run(FlowOwner&, Flow<void> flow)
{
    co_await std::move(flow);
}

inline void FlowOwner::start(Flow<void> flow)
{
    run(*this, std::move(flow));
}

inline void FlowOwner::destroyAll()
{
    alive_ = std::make_shared<int>(0);
    while (!roots_.empty())
        roots_.begin()->destroy();
}

}  // namespace TavrinIoCtl
