#include "ScriptedEcu.h"

#include "Kwp2000Frame.h"

#include <utility>

using TavrinKwp::Bytes;

ScriptedEcu::ScriptedEcu(Answer answer, bool echo)
    : answer_(std::move(answer)), echo_(echo), channel_(TavrinKwp::openPseudoTerminal())
{
    thread_ = std::thread([this] { serve(); });
}

ScriptedEcu::~ScriptedEcu()
{
    unplug();
}

void ScriptedEcu::unplug()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    channel_.reset();
}

std::vector<ScriptedEcu::Received> ScriptedEcu::received()
{
    std::lock_guard lock(mutex_);
    return received_;
}

std::chrono::steady_clock::time_point ScriptedEcu::lastAnswer()
{
    std::lock_guard lock(mutex_);
    return lastAnswer_;
}

std::vector<std::chrono::steady_clock::time_point> ScriptedEcu::answerEnds()
{
    // The tester may have read an answer before this side noted its end.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (answerEnds_.size() == received_.size() || std::chrono::steady_clock::now() > limit) return answerEnds_;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void ScriptedEcu::corruptNextEcho(Bytes echo)
{
    std::lock_guard lock(mutex_);
    corruptEcho_ = std::move(echo);
}

void ScriptedEcu::serve()
{
    Bytes pending;
    uint8_t buffer[512];
    while (!stop_) {
        const size_t got = channel_->read(buffer, sizeof buffer, 10);
        if (got == 0) continue;
        pending.insert(pending.end(), buffer, buffer + got);
        Bytes echo(buffer, buffer + got);
        {
            std::lock_guard lock(mutex_);
            if (!corruptEcho_.empty()) echo = std::exchange(corruptEcho_, {});
        }
        if (echo_) channel_->write(echo);
        for (;;) {
            const auto size = TavrinKwp::frameSize(pending.data(), pending.size());
            if (!size || *size == 0 || pending.size() < *size) break;
            const Bytes frame(pending.begin(), pending.begin() + static_cast<long>(*size));
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(*size));
            {
                std::lock_guard lock(mutex_);
                received_.push_back({frame, std::chrono::steady_clock::now()});
            }
            for (const Chunk& chunk : answer_(frame)) {
                if (stop_) break;
                channel_->write(chunk.bytes);
                if (chunk.pauseAfterMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(chunk.pauseAfterMs));
            }
            std::lock_guard lock(mutex_);
            lastAnswer_ = std::chrono::steady_clock::now();
            answerEnds_.push_back(lastAnswer_);
        }
    }
}
