#include "OffThreadLink.h"

#include "ErrorNumbers.h"

#include <QThread>

#include <exception>

namespace TavrinKwp {

OffThreadLink::OffThreadLink(std::unique_ptr<Link> line) : line_(std::move(line)), name_(line_->name())
{
    // A QThread, as the serial port's socket notifiers want one (no event loop runs in it).
    thread_.reset(QThread::create([this] { serve(); }));
    thread_->start();
}

OffThreadLink::~OffThreadLink()
{
    // The line goes on its own thread, after every job still queued (a stop among them).
    post([this] { line_.reset(); });
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_->wait();
}

bool OffThreadLink::onLineThread() const
{
    return QThread::currentThread() == thread_.get();
}

void OffThreadLink::post(std::function<void()> job)
{
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    changed_.notify_all();
}

void OffThreadLink::serve()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            // Between jobs the line is watched: it is read all the time.
            if (!changed_.wait_for(lock, kWatchInterval, [this] { return !jobs_.empty() || quit_; })) {
                lock.unlock();
                watchLine();
                continue;
            }
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

void OffThreadLink::watchLine()
{
    if (!line_) return;
    try {
        line_->watch();
    } catch (const Sorvik3::Error& error) {
        // A line that went away is told at once; anything else is met again by the next call.
        if (error.number() != number(SessionError::LinkUnavailable) || lossTold_) return;
        lossTold_ = true;
        tellLost(error);
    } catch (...) {
    }
}

void OffThreadLink::tellLost(const Sorvik3::Error& error)
{
    std::lock_guard lock(lostMutex_);
    try {
        if (lost_) lost_(error);
    } catch (...) {
        // Nothing may leave the line's thread: the next call meets the loss again.
    }
}

void OffThreadLink::onLost(std::function<void(const Sorvik3::Error&)> told)
{
    std::lock_guard lock(lostMutex_);
    lost_ = std::move(told);
}

void OffThreadLink::run(const std::function<void()>& call)
{
    if (onLineThread()) return call();
    std::exception_ptr failure;
    bool done = false;
    post([&] {
        try {
            call();
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard lock(mutex_);
        done = true;
        changed_.notify_all();
    });
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return done; });
    }
    if (failure) std::rethrow_exception(failure);
}

std::vector<std::string> OffThreadLink::checkAdapter(const VehicleDescription& vehicle)
{
    std::vector<std::string> report;
    run([&] { report = line_->checkAdapter(vehicle); });
    return report;
}

void OffThreadLink::startCommunication(const EcuDescription& ecu, WireRecord& wire)
{
    run([&] {
        line_->startCommunication(ecu, wire);
        lossTold_ = false;
    });
}

void OffThreadLink::stopCommunication(const EcuDescription& ecu)
{
    run([&] { line_->stopCommunication(ecu); });
}

Bytes OffThreadLink::exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request,
                              WireRecord& wire)
{
    Bytes answer;
    run([&] { answer = line_->exchange(ecu, what, request, wire); });
    return answer;
}

Bytes OffThreadLink::nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs,
                                WireRecord& wire)
{
    Bytes answer;
    run([&] { answer = line_->nextAnswer(ecu, what, timeoutMs, wire); });
    return answer;
}

}  // namespace TavrinKwp
