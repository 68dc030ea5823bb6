#include "OffThreadLink.h"

#include "ErrorNumbers.h"
#include "Sorvik3.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

namespace TavrinKwp {
namespace {

std::atomic<bool> serveEvents{true};

bool onTheApplicationsThread()
{
    const auto* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

}  // namespace

void OffThreadLink::serveEventsWhileWaiting(bool serve)
{
    serveEvents = serve;
}

OffThreadLink::OffThreadLink(std::unique_ptr<Link> line) : line_(std::move(line)), name_(line_->name())
{
    // A QThread, as the serial port's socket notifiers want one (no event loop runs in it).
    thread_.reset(QThread::create([this] { serve(); }));
    thread_->start();
}

OffThreadLink::~OffThreadLink()
{
    {
        std::unique_lock lock(mutex_);
        // A call still under way (its caller gone with the application) ends first.
        changed_.wait(lock, [this] { return !busy_ || done_; });
        job_ = [this] { line_.reset(); };
        quit_ = true;
    }
    changed_.notify_all();
    thread_->wait();
}

void OffThreadLink::serve()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return job_ || quit_; });
            if (!job_) return;
            job = std::exchange(job_, {});
        }
        std::exception_ptr failure;
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            failure_ = failure;
            done_ = true;
            // Under the lock: the waiting loop is not gone before it is told.
            if (onDone_) onDone_();
            if (quit_) return;
        }
        changed_.notify_all();
    }
}

void OffThreadLink::await()
{
    if (serveEvents && onTheApplicationsThread()) {
        QEventLoop loop;
        bool finished = false;
        {
            std::lock_guard lock(mutex_);
            finished = done_;
            if (!finished)
                onDone_ = [&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); };
        }
        // The loop also ends when the application quits: the call is then waited for below.
        if (!finished) loop.exec();
        std::lock_guard lock(mutex_);
        onDone_ = {};
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return done_; });
}

void OffThreadLink::run(const EcuDescription& ecu, const std::string& what, std::function<void()> call)
{
    {
        std::lock_guard lock(mutex_);
        if (busy_) {
            throw sessionError(SessionError::LinkBusy, "'" + what + "' to ECU '" + ecu.name +
                                                           "' not sent: the link is busy with '" + busyWith_ +
                                                           "' (one request at a time)");
        }
        busy_ = true;
        done_ = false;
        busyWith_ = what;
        job_ = std::move(call);
    }
    changed_.notify_all();
    await();
    std::exception_ptr failure;
    {
        std::lock_guard lock(mutex_);
        busy_ = false;
        failure = std::exchange(failure_, nullptr);
    }
    changed_.notify_all();
    if (failure) std::rethrow_exception(failure);
}

std::vector<std::string> OffThreadLink::checkAdapter(const VehicleDescription& vehicle)
{
    std::vector<std::string> report;
    EcuDescription none;
    none.name = "(adapter check)";
    run(none, "the adapter check", [&] { report = line_->checkAdapter(vehicle); });
    return report;
}

void OffThreadLink::startCommunication(const EcuDescription& ecu, WireRecord& wire)
{
    run(ecu, "StartCommunication", [&] { line_->startCommunication(ecu, wire); });
}

void OffThreadLink::stopCommunication(const EcuDescription& ecu)
{
    run(ecu, "StopCommunication", [&] { line_->stopCommunication(ecu); });
}

Bytes OffThreadLink::exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request,
                              WireRecord& wire)
{
    Bytes answer;
    run(ecu, what, [&] { answer = line_->exchange(ecu, what, request, wire); });
    return answer;
}

Bytes OffThreadLink::nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs,
                                WireRecord& wire)
{
    Bytes answer;
    run(ecu, what, [&] { answer = line_->nextAnswer(ecu, what, timeoutMs, wire); });
    return answer;
}

}  // namespace TavrinKwp
