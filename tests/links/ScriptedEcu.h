// A raw ECU on the far end of a pseudo-terminal for the K-line link's tests:
// it echoes what the tester sends, cuts it into frames, and answers each frame
// with whatever bytes the test chooses (wrong ones included), in chunks with
// pauses between them.
#pragma once

#include "ByteChannel.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct Chunk {
    TavrinKwp::Bytes bytes;
    int pauseAfterMs = 0;
};

class ScriptedEcu {
  public:
    using Answer = std::function<std::vector<Chunk>(const TavrinKwp::Bytes& frame)>;
    explicit ScriptedEcu(Answer answer, bool echo = true);
    ~ScriptedEcu();

    std::string path() const { return channel_->peerPath(); }
    // Each request frame with the time it was complete.
    struct Received {
        TavrinKwp::Bytes frame;
        std::chrono::steady_clock::time_point at;
    };
    std::vector<Received> received();
    // When the last answer's last byte was written.
    std::chrono::steady_clock::time_point lastAnswer();
    // When each answer's last byte was written, one for each frame received (waits for the last).
    std::vector<std::chrono::steady_clock::time_point> answerEnds();
    // Replaces the echo by these bytes for the next frame (a collision on the line).
    void corruptNextEcho(TavrinKwp::Bytes echo);
    // Closes the far end for good, as an adapter that is pulled out.
    void unplug();

  private:
    void serve();

    Answer answer_;
    bool echo_;
    std::unique_ptr<TavrinKwp::ByteChannel> channel_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Received> received_;
    std::chrono::steady_clock::time_point lastAnswer_;
    std::vector<std::chrono::steady_clock::time_point> answerEnds_;
    TavrinKwp::Bytes corruptEcho_;
    std::thread thread_;
};
