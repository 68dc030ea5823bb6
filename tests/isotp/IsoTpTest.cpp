// ISO-TP alone: two endpoints pass frames to each other on a simulated time line.
#include "IsoTp.h"
#include "ErrorNumbers.h"
#include "ErrorOf.h"
#include "Sorvik3.h"

#include <gtest/gtest.h>

#include <random>

using namespace TavrinKwp;

namespace {

IsoTpSettings side(uint32_t tx, uint32_t rx, const char* peer)
{
    IsoTpSettings settings;
    settings.txId = tx;
    settings.rxId = rx;
    settings.peer = peer;
    return settings;
}

Bytes counting(size_t size)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

// Moves frames both ways until nothing is due; keeps what went over the bus.
struct Bus {
    Bus(IsoTpSettings tester, IsoTpSettings ecu) : tester(tester), ecu(ecu) {}
    void run(Micros until)
    {
        for (; now <= until; now += 100) {
            for (auto* from : {&tester, &ecu}) {
                for (auto& frame : from->takeDue(now)) {
                    wire.push_back({now, frame});
                    (from == &tester ? ecu : tester).receive(frame, now);
                }
            }
        }
    }
    IsoTpEndpoint tester;
    IsoTpEndpoint ecu;
    Micros now = 0;
    std::vector<std::pair<Micros, CanFrame>> wire;
};

}  // namespace

TEST(IsoTp, shouldCarrySingleFramesPaddedOrNot)
{
    auto tester = side(0x7E0, 0x7E8, "EngineControl");
    tester.padding = 0xCC;
    Bus bus(tester, side(0x7E8, 0x7E0, "tester"));
    bus.tester.send({0x3E, 0x01}, 0);
    bus.run(1000);
    ASSERT_EQ(bus.wire.size(), 1u);
    EXPECT_EQ(hexText(bus.wire[0].second.data), "02 3E 01 CC CC CC CC CC");
    EXPECT_EQ(bus.ecu.takeMessage(), (Bytes{0x3E, 0x01}));
    bus.ecu.send({0x7E}, bus.now);
    bus.run(bus.now + 1000);
    EXPECT_EQ(hexText(bus.wire.back().second.data), "01 7E");
    EXPECT_EQ(bus.tester.takeMessage(), (Bytes{0x7E}));
}

TEST(IsoTp, shouldHonourBlockSizeAndStMinAndWrapSequenceNumbers)
{
    auto ecu = side(0x7E8, 0x7E0, "tester");
    ecu.blockSize = 2;
    ecu.stMin = 5;  // ms
    Bus bus(side(0x7E0, 0x7E8, "EngineControl"), ecu);
    const Bytes message = counting(6 + 7 * 17 + 3);  // 18 consecutive frames: the sequence wraps
    bus.tester.send(message, 0);
    bus.run(200000);
    EXPECT_EQ(bus.ecu.takeMessage(), message);
    std::vector<int> sequence;
    Micros lastConsecutive = 0;
    int sinceFlowControl = 0;
    for (const auto& [at, frame] : bus.wire) {
        const int type = frame.data[0] >> 4;
        if (type == 3) {
            EXPECT_EQ(frame.id, 0x7E8u);
            EXPECT_EQ(hexText(frame.data), "30 02 05");
            sinceFlowControl = 0;
        } else if (type == 2) {
            EXPECT_LT(++sinceFlowControl, 3) << "more than the block size before a flow control";
            if (sinceFlowControl == 2) EXPECT_GE(at - lastConsecutive, 5000u);
            lastConsecutive = at;
            sequence.push_back(frame.data[0] & 0x0F);
        }
    }
    ASSERT_EQ(sequence.size(), 18u);
    EXPECT_EQ(sequence[14], 15);
    EXPECT_EQ(sequence[15], 0);
    EXPECT_EQ(sequence[16], 1);
}

TEST(IsoTp, shouldReadStMinAsTheStandardEncodesIt)
{
    EXPECT_EQ(stMinMicros(0x00), 0u);
    EXPECT_EQ(stMinMicros(0x7F), 127000u);
    EXPECT_EQ(stMinMicros(0xF1), 100u);
    EXPECT_EQ(stMinMicros(0xF9), 900u);
    for (uint8_t reserved : {0x80, 0xF0, 0xFA, 0xFF})
        EXPECT_EQ(stMinMicros(reserved), 127000u) << int(reserved);
}

TEST(IsoTp, shouldEndALostConsecutiveFrameOrALateFlowControlInATimeout)
{
    IsoTpEndpoint receiver(side(0x7E8, 0x7E0, "tester"));
    receiver.receive({0x7E0, false, {0x10, 0x14, 1, 2, 3, 4, 5, 6}}, 0);
    receiver.receive({0x7E0, false, {0x21, 7, 8, 9, 10, 11, 12, 13}}, 10000);
    EXPECT_NO_THROW(receiver.checkTimers(10000 + 1000000));
    EXPECT_EQ(errorOf([&] { receiver.checkTimers(10000 + 1000001); }), number(SessionError::TransportTimeout));

    IsoTpEndpoint sender(side(0x7E0, 0x7E8, "EngineControl"));
    sender.send(counting(20), 0);
    EXPECT_EQ(sender.takeDue(0).size(), 1u);
    EXPECT_EQ(errorOf([&] { sender.checkTimers(1000001); }), number(SessionError::TransportTimeout));
    // A wait renews N_Bs.
    sender.receive({0x7E8, false, {0x31, 0, 0}}, 900000);
    EXPECT_NO_THROW(sender.checkTimers(1800000));
}

TEST(IsoTp, shouldRefuseFramesThatBreakAReceptionAndIgnoreFramesOutOfTurn)
{
    auto fresh = [] { return IsoTpEndpoint(side(0x7E8, 0x7E0, "tester")); };
    struct Case {
        const char* what;
        std::vector<Bytes> frames;
        int error;
    };
    const std::vector<Case> cases = {
        {"wrong sequence number",
         {{0x10, 0x14, 1, 2, 3, 4, 5, 6}, {0x22, 7, 8, 9, 10, 11, 12, 13}},
         number(SessionError::TransportError)},
        {"short consecutive frame",
         {{0x10, 0x14, 1, 2, 3, 4, 5, 6}, {0x21, 7, 8}},
         number(SessionError::TransportError)},
        // What belongs to no reception, or cannot be a frame, is ignored.
        {"consecutive without first", {{0x21, 1, 2, 3}}, 0},
        {"single frame that lies", {{0x07, 1, 2, 3}}, 0},
        {"single frame of no length", {{0x00, 1, 2, 3}}, 0},
        {"first frame for a short message", {{0x10, 0x05, 1, 2, 3, 4, 5, 6}}, 0},
        {"unknown frame type", {{0x40, 1, 2}}, 0},
        {"empty frame", {{}}, 0},
    };
    for (const auto& c : cases) {
        auto receiver = fresh();
        int error = 0;
        for (const auto& data : c.frames)
            error = error ? error : errorOf([&] { receiver.receive({0x7E0, false, data}, 0); });
        EXPECT_EQ(error, c.error) << c.what;
        if (c.error == 0) {
            EXPECT_FALSE(receiver.takeMessage()) << c.what;
            EXPECT_EQ(receiver.ignoredFrames(), 1u) << c.what;
            // The next message is taken as if nothing had come.
            receiver.receive({0x7E0, false, {0x02, 0x7E, 0x01}}, 0);
            EXPECT_EQ(receiver.takeMessage(), (Bytes{0x7E, 0x01})) << c.what;
        }
    }
    // A single or first frame during a reception ends it and starts the new message.
    auto interrupted = fresh();
    interrupted.receive({0x7E0, false, {0x10, 0x14, 1, 2, 3, 4, 5, 6}}, 0);
    interrupted.receive({0x7E0, false, {0x02, 0x7E, 0x01}}, 0);
    EXPECT_EQ(interrupted.takeMessage(), (Bytes{0x7E, 0x01}));
    EXPECT_FALSE(interrupted.receiving());
    interrupted.receive({0x7E0, false, {0x10, 0x14, 1, 2, 3, 4, 5, 6}}, 0);
    interrupted.receive({0x7E0, false, {0x10, 0x09, 9, 8, 7, 6, 5, 4}}, 0);
    interrupted.receive({0x7E0, false, {0x21, 3, 2, 0, 0, 0, 0, 0}}, 0);
    EXPECT_EQ(interrupted.takeMessage(), (Bytes{9, 8, 7, 6, 5, 4, 3, 2, 0}));
    EXPECT_NO_THROW(interrupted.checkTimers(5000000)) << "no reception is left waiting";
    // Too long: the receiver says overflow in its flow control, and the sender gives up.
    auto small = side(0x7E8, 0x7E0, "tester");
    small.maxLength = 64;
    IsoTpEndpoint receiver(small);
    EXPECT_EQ(errorOf([&] {
                  receiver.receive({0x7E0, false, {0x10, 0x80, 1, 2, 3, 4, 5, 6}}, 0);
              }),
              number(SessionError::TransportError));
    EXPECT_EQ(hexText(receiver.takeDue(0).front().data), "32 00 00");
    IsoTpEndpoint sender(side(0x7E0, 0x7E8, "EngineControl"));
    sender.send(counting(128), 0);
    sender.takeDue(0);
    EXPECT_EQ(errorOf([&] { sender.receive({0x7E8, false, {0x32, 0, 0}}, 0); }), number(SessionError::TransportError));
}

TEST(IsoTp, shouldIgnoreOtherIdentifiersAndTakeExtendedOnes)
{
    auto settings = side(0x18DA10F1, 0x18DAF110, "EngineControl");
    settings.extendedIds = true;
    IsoTpEndpoint tester(settings);
    tester.receive({0x18DAF110, false, {0x01, 0x7E}}, 0);  // the right number, but 11-bit
    tester.receive({0x7E9, false, {0x01, 0x7E}}, 0);
    EXPECT_FALSE(tester.takeMessage());
    tester.receive({0x18DAF110, true, {0x01, 0x7E}}, 0);
    EXPECT_EQ(tester.takeMessage(), (Bytes{0x7E}));
    tester.send({0x3E, 0x01}, 0);
    const auto frames = tester.takeDue(0);
    EXPECT_TRUE(frames.front().extended);
    EXPECT_EQ(frames.front().id, 0x18DA10F1u);
}

TEST(IsoTp, shouldNeverCrashOnRandomFrames)
{
    std::mt19937 random(11);
    IsoTpEndpoint receiver(side(0x7E8, 0x7E0, "tester"));
    for (int i = 0; i < 20000; ++i) {
        Bytes data(random() % 9);
        for (auto& b : data)
            b = static_cast<uint8_t>(random());
        try {
            receiver.receive({0x7E0, false, data}, static_cast<Micros>(i) * 100);
            receiver.takeDue(static_cast<Micros>(i) * 100);
            receiver.takeMessage();
        } catch (const Sorvik3::Error& error) {
            EXPECT_TRUE(error.number() == number(SessionError::TransportError) ||
                        error.number() == number(SessionError::TransportTimeout));
            receiver.reset();
        }
    }
}
