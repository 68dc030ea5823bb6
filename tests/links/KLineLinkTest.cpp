// The K-line link against a raw ECU across a real pseudo-terminal: framing,
// echo, timing, and every kind of wrong answer.
#include "KLineLink.h"
#include "ErrorNumbers.h"
#include "ErrorOf.h"
#include "Kwp2000Frame.h"
#include "ScriptedEcu.h"
#include "Sorvik3.h"

#include <gtest/gtest.h>

#include <random>

using namespace TavrinKwp;
using Clock = std::chrono::steady_clock;

namespace {

EcuDescription engine()
{
    EcuDescription ecu;
    ecu.name = "Engine";
    ecu.address = 0x11;
    ecu.testerAddress = 0xF1;
    ecu.kline.timing.p2Max = 150;
    ecu.kline.timing.p2Extended = 2000;
    ecu.kline.timing.p3Min = 10;
    ecu.kline.timing.p4Min = 0;
    return ecu;
}

Bytes answerFrame(const Bytes& data, uint8_t source = 0x11)
{
    return encodeFrame(Frame{0xF1, source, data});
}

// A well-behaved ECU: starts and stops communication, answers a request with its bytes echoed.
std::vector<Chunk> polite(const Bytes& request)
{
    const auto frame = decodeFrame(request);
    if (!frame) return {};
    if (frame->data[0] == 0x81) return {{answerFrame({0xC1, 0xEF, 0x8F})}};
    Bytes data = frame->data;
    data[0] = static_cast<uint8_t>(data[0] + 0x40);
    return {{answerFrame(data)}};
}

struct Line {
    explicit Line(ScriptedEcu::Answer answer, bool echo = true)
        : ecuSide(std::move(answer), echo), link("kline:test", KLineOptions{ecuSide.path(), 10400, echo})
    {}
    Bytes send(const Bytes& request)
    {
        WireRecord wire;
        return link.exchange(ecu, "Request", request, wire);
    }
    void start()
    {
        WireRecord wire;
        link.startCommunication(ecu, wire);
    }
    EcuDescription ecu = engine();
    ScriptedEcu ecuSide;
    KLineLink link;
};

}  // namespace

TEST(KLineLink, shouldStartExchangeAndStopWithCheckedFrames)
{
    Line line(polite);
    WireRecord wire;
    line.link.startCommunication(line.ecu, wire);
    EXPECT_EQ(hexText(wire.sent), "81 11 F1 81 04");
    EXPECT_EQ(hexText(wire.received), "83 F1 11 C1 EF 8F C4");
    wire = {};
    EXPECT_EQ(line.link.exchange(line.ecu, "TesterPresent", {0x3E, 0x01}, wire), (Bytes{0x7E, 0x01}));
    EXPECT_EQ(hexText(wire.sent), "82 11 F1 3E 01 C3");
    // Longer than 63 bytes: the length goes into its own byte, both ways.
    Bytes big(80, 0x21);
    EXPECT_EQ(line.send(big).size(), 80u);
    EXPECT_EQ(line.ecuSide.received().back().frame[0], 0x80);
    line.link.stopCommunication(line.ecu);
    EXPECT_EQ(hexText(line.ecuSide.received().back().frame), "81 11 F1 82 05");
    EXPECT_EQ(errorOf([&] { line.send({0x3E, 0x01}); }), number(SessionError::LinkNotOpen));
}

TEST(KLineLink, shouldReassembleAnAnswerSplitAcrossReadsAndDropStrayBytes)
{
    Line line([](const Bytes& request) -> std::vector<Chunk> {
        if (decodeFrame(request)->data[0] == 0x81) return polite(request);
        const Bytes answer = answerFrame({0x61, 0x01, 0x12, 0x34});
        // Two bytes of line noise first, then the frame in three pieces.
        return {{{0x55, 0x47}, 5},
                {Bytes(answer.begin(), answer.begin() + 2), 5},
                {Bytes(answer.begin() + 2, answer.begin() + 5), 5},
                {Bytes(answer.begin() + 5, answer.end())}};
    });
    line.start();
    EXPECT_EQ(line.send({0x21, 0x01}), (Bytes{0x61, 0x01, 0x12, 0x34}));
    EXPECT_EQ(line.link.strayBytes(), 2u);
}

TEST(KLineLink, shouldRefuseWrongAnswersAndRecoverForTheNext)
{
    enum class Wrong { Checksum, Address, Length };
    std::atomic<Wrong> wrong = Wrong::Checksum;
    std::atomic<bool> spoil = true;
    Line line([&](const Bytes& request) -> std::vector<Chunk> {
        if (decodeFrame(request)->data[0] == 0x81 || !spoil) return polite(request);
        Bytes answer = answerFrame({0x7E, 0x01});
        switch (wrong.load()) {
        case Wrong::Checksum: answer.back() ^= 0x5A; break;
        case Wrong::Address: answer = answerFrame({0x7E, 0x01}, 0x40); break;
        case Wrong::Length: answer = {0x85, 0xF1, 0x11, 0x7E, 0x01}; break;  // says five bytes, brings two
        }
        return {{answer}};
    });
    line.start();
    for (Wrong kind : {Wrong::Checksum, Wrong::Address, Wrong::Length}) {
        wrong = kind;
        spoil = true;
        const auto before = Clock::now();
        EXPECT_EQ(errorOf([&] { line.send({0x3E, 0x01}); }), number(SessionError::BadFrame)) << static_cast<int>(kind);
        EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(1000));
        spoil = false;
        EXPECT_EQ(line.send({0x3E, 0x01}), (Bytes{0x7E, 0x01})) << static_cast<int>(kind);
    }
}

TEST(KLineLink, shouldGiveUpOnASilentEcuAfterP2max)
{
    Line line([](const Bytes& request) -> std::vector<Chunk> {
        if (decodeFrame(request)->data[0] == 0x81) return polite(request);
        return {};
    });
    line.start();
    const auto before = Clock::now();
    EXPECT_EQ(errorOf([&] { line.send({0x3E, 0x01}); }), number(SessionError::NoAnswer));
    const auto waited = Clock::now() - before;
    EXPECT_GE(waited, std::chrono::milliseconds(line.ecu.kline.timing.p2Max));
    EXPECT_LT(waited, std::chrono::milliseconds(line.ecu.kline.timing.p2Max + 500));
}

TEST(KLineLink, shouldTellABusCollisionFromTheEcho)
{
    Line line(polite);
    line.start();
    line.ecuSide.corruptNextEcho({0x82, 0x11, 0xF1, 0x3E, 0x00, 0xC3});
    EXPECT_EQ(errorOf([&] { line.send({0x3E, 0x01}); }), number(SessionError::BusCollision));
    // Without its echo the interface is no single-wire K-line: nothing comes back.
    Line mute(polite, false);
    KLineLink expectingEcho("kline:mute", KLineOptions{mute.ecuSide.path(), 10400, true});
    WireRecord wire;
    EXPECT_EQ(errorOf([&] { expectingEcho.startCommunication(mute.ecu, wire); }), number(SessionError::BusCollision));
}

TEST(KLineLink, shouldWaitThroughResponsePendingWithTheLongerTimeout)
{
    Line line([](const Bytes& request) -> std::vector<Chunk> {
        if (decodeFrame(request)->data[0] == 0x81) return polite(request);
        // The final answer comes later than P2max, within P2*.
        return {{answerFrame({0x7F, 0x30, 0x78}), 400}, {answerFrame({0x70, 0x01, 0x07})}};
    });
    line.start();
    WireRecord wire;
    EXPECT_EQ(line.link.exchange(line.ecu, "Start", {0x30, 0x01, 0x07}, wire), (Bytes{0x7F, 0x30, 0x78}));
    EXPECT_EQ(line.link.nextAnswer(line.ecu, "Start", line.ecu.kline.timing.p2Extended, wire),
              (Bytes{0x70, 0x01, 0x07}));
}

TEST(KLineLink, shouldKeepP3minBetweenAnswerAndRequestAndP4minBetweenBytes)
{
    Line line(polite);
    line.ecu.kline.timing.p3Min = 80;
    line.ecu.kline.timing.p4Min = 6;
    line.start();
    const auto before = Clock::now();
    line.send({0x3E, 0x01});
    // Six bytes with five gaps of P4min.
    EXPECT_GE(Clock::now() - before, std::chrono::milliseconds(5 * 6));
    line.send({0x3E, 0x01});
    const auto frames = line.ecuSide.received();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_GE(frames[2].at - frames[1].at, std::chrono::milliseconds(80));
}

TEST(KLineLink, shouldSurviveAFloodOfRandomBytes)
{
    std::mt19937 random(7);
    Line line([&](const Bytes& request) -> std::vector<Chunk> {
        if (decodeFrame(request)->data[0] == 0x81) return polite(request);
        std::vector<Chunk> noise;
        for (int chunk = 0; chunk < 10; ++chunk) {
            Bytes bytes(500);
            for (auto& b : bytes)
                b = static_cast<uint8_t>(random());
            noise.push_back({bytes});
        }
        return noise;
    });
    line.start();
    for (int i = 0; i < 5; ++i) {
        const auto before = Clock::now();
        const int error = errorOf([&] { line.send({0x3E, 0x01}); });
        // Noise still on the line when the next request goes out is a collision.
        EXPECT_TRUE(error == number(SessionError::BadFrame) || error == number(SessionError::NoAnswer) ||
                    error == number(SessionError::BusCollision))
            << error;
        EXPECT_LT(Clock::now() - before, std::chrono::seconds(2));
    }
}

TEST(KLineLink, shouldNameThePortItCannotOpen)
{
    KLineLink link("kline:/dev/nonexistent-tty", KLineOptions{"/dev/nonexistent-tty", 0, true});
    WireRecord wire;
    const EcuDescription ecu = engine();
    try {
        link.startCommunication(ecu, wire);
        FAIL() << "expected the port to be refused";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(SessionError::LinkUnavailable));
        EXPECT_NE(error.description().find("/dev/nonexistent-tty"), std::string::npos);
    }
}

// What a real line does after one bad answer: the rest of it, or all of it,
// comes while the tester already thinks of the next request.
TEST(KLineLink, shouldGetBackInStepAfterALateCutOrGarbledAnswer)
{
    enum class Bad { Late, Garbage, Cut };
    std::atomic<Bad> bad = Bad::Late;
    std::atomic<bool> spoil = false;
    const EcuDescription ecu = engine();
    Line line([&](const Bytes& request) -> std::vector<Chunk> {
        if (decodeFrame(request)->data[0] == 0x81 || !spoil.exchange(false)) return polite(request);
        const Bytes answer = answerFrame({0x7E, 0x01});
        switch (bad.load()) {
        case Bad::Late:  // 10 ms past P2max
            return {{{}, static_cast<int>(ecu.kline.timing.p2Max) + 10}, {answer}};
        case Bad::Garbage: {  // noise in bursts closer together than P3min
            std::vector<Chunk> noise;
            for (int burst = 0; burst < 6; ++burst)
                noise.push_back({{0x8A, 0x13, 0xFF, 0x00, 0x55}, burst < 5 ? 6 : 0});
            return noise;
        }
        case Bad::Cut:  // the frame's head, and the rest after P1max
            return {{Bytes(answer.begin(), answer.begin() + 3), static_cast<int>(ecu.kline.timing.p1Max) + 10},
                    {Bytes(answer.begin() + 3, answer.end())}};
        }
        return {};
    });
    line.ecu.kline.timing.p3Min = 40;
    line.start();
    for (Bad kind : {Bad::Late, Bad::Garbage, Bad::Cut}) {
        bad = kind;
        spoil = true;
        // A tester that is itself late on a busy machine may still take the late answer.
        const int error = errorOf([&] { line.send({0x3E, 0x01}); });
        EXPECT_TRUE(error != 0 || kind == Bad::Late) << static_cast<int>(kind);
        // The next requests get their own answers, sent P3min after the last byte on the line.
        EXPECT_EQ(line.send({0x21, 0x02}), (Bytes{0x61, 0x02})) << static_cast<int>(kind);
        EXPECT_EQ(line.send({0x21, 0x03}), (Bytes{0x61, 0x03})) << static_cast<int>(kind);
        const auto frames = line.ecuSide.received();
        const auto ends = line.ecuSide.answerEnds();
        ASSERT_EQ(frames.size(), ends.size());
        const size_t spoilt = frames.size() - 3;
        EXPECT_GE(frames[spoilt + 1].at - ends[spoilt], std::chrono::milliseconds(line.ecu.kline.timing.p3Min))
            << static_cast<int>(kind) << ": the request after the bad answer waited for the line to fall quiet";
    }
}

TEST(KLineLink, shouldSkipTheWakeUpPatternsEchoBeforeStartCommunication)
{
    Line line(polite);
    // A single-wire interface reads the 25 ms low back as a 0x00, just before the echo.
    line.ecuSide.corruptNextEcho({0x00, 0x81, 0x11, 0xF1, 0x81, 0x04});
    line.start();
    EXPECT_EQ(line.send({0x3E, 0x01}), (Bytes{0x7E, 0x01}));
    EXPECT_EQ(line.link.strayBytes(), 0u);
}

TEST(KLineLink, shouldTellAPortThatVanishedAsALostPort)
{
    Line line(polite);
    line.start();
    line.ecuSide.unplug();
    try {
        line.send({0x3E, 0x01});
        FAIL() << "expected the lost port to be told";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(SessionError::LinkUnavailable)) << error.description();
        EXPECT_NE(error.description().find("was lost"), std::string::npos) << error.description();
    }
}
