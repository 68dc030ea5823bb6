// The CAN link over the virtual CAN bus of Qt Serial Bus: every request of the
// demo vehicle as the in-process link answers it, flow control as the ECU asks
// for it, and each transport fault ending in its error within its limit.
#include "CanLoopbackLink.h"
#include "Connection.h"
#include "DemoVehicle.h"
#include "ErrorNumbers.h"
#include "ErrorOf.h"
#include "Kwp2000Frame.h"
#include "OffThreadLink.h"
#include "RequestOutcome.h"
#include "SessionClock.h"
#include "VehicleLoader.h"

#include <gtest/gtest.h>

using namespace TavrinKwp;
using Clock = std::chrono::steady_clock;

namespace {

// Why the virtual bus cannot be used here; empty when it can.
std::string virtualCanRefusal()
{
    static const std::string refusal = [] {
        try {
            CanBusPort probe("virtualcan", loopbackCanInterface(), {});
            return std::string();
        } catch (const Sorvik3::Error& error) {
            return error.description();
        }
    }();
    return refusal;
}

#define REQUIRE_VIRTUAL_CAN()                                                                                          \
    if (!virtualCanRefusal().empty())                                                                                  \
    GTEST_SKIP() << "virtualcan cannot start here, CAN test skipped: " << virtualCanRefusal()

// A simulated ECU scheduled late on a busy machine must not look like a fault: P2max is roomy.
std::shared_ptr<const VehicleDescription> relaxedDemo()
{
    VehicleDescription vehicle = loadVehicleText(demoVehicleXml(), "demo.xml");
    for (auto& ecu : vehicle.ecus)
        if (ecu.can) ecu.can->p2Max = 500;
    return std::make_shared<const VehicleDescription>(std::move(vehicle));
}

struct Loopback {
    Loopback()
        : vehicle(relaxedDemo()), simulator(std::make_shared<VehicleSimulator>(vehicle)),
          link("can:loopback", simulator, CanOptions{"virtualcan", loopbackCanInterface(), {}})
    {}
    const EcuDescription& ecu(const std::string& name)
    {
        for (const auto& e : vehicle->ecus)
            if (e.name == name) return e;
        throw std::runtime_error(name);
    }
    Bytes send(const std::string& ecuName, const Bytes& request)
    {
        WireRecord wire;
        return link.exchange(ecu(ecuName), "Request", request, wire);
    }
    std::shared_ptr<const VehicleDescription> vehicle;
    std::shared_ptr<VehicleSimulator> simulator;
    CanLoopbackLink link;
};

}  // namespace

TEST(CanLink, shouldAnswerEveryRequestOfTheDemoVehicleAsTheInProcessLinkDoes)
{
    REQUIRE_VIRTUAL_CAN();
    auto sim = demoSession();
    auto can = KwpSession::fromText(demoVehicleXml(), "demo.xml", "can:loopback");
    ManualClock simClock(1000), canClock(1000);
    sim->setClock(simClock.clock());
    can->setClock(canClock.clock());
    for (size_t e = 0; e < sim->vehicle().ecus.size(); ++e) {
        sim->Ecus()[e]->Init();
        can->Ecus()[e]->Init();
        for (const auto& request : sim->vehicle().ecus[e].requests) {
            EXPECT_EQ(requestOutcome(*can, e, request.name, false), requestOutcome(*sim, e, request.name, true))
                << sim->vehicle().ecus[e].name << " " << request.name;
        }
    }
    can->StopCommunication();
    EXPECT_TRUE(can->CommunicationStopped());
}

TEST(CanLink, shouldKeepTheEcusBlockSizeAndStMinBothWays)
{
    REQUIRE_VIRTUAL_CAN();
    Loopback line;
    CanBusPort observer("virtualcan", loopbackCanInterface(), {});
    WireRecord wire;
    line.link.startCommunication(line.ecu("ClimateControl"), wire);
    observer.clear();
    // A nine-byte start goes out in three frames, an eight-byte answer comes back in two.
    const Bytes answer = line.send("ClimateControl", {0x30, 0x01, 0x07, 0x32, 0x00, 0x00, 0x14, 0x50, 0x00});
    EXPECT_EQ(answer.size(), 8u);
    std::vector<std::pair<Clock::time_point, CanFrame>> seen;
    while (auto frame = observer.read(Clock::now() + std::chrono::milliseconds(100)))
        seen.push_back({Clock::now(), *frame});
    std::vector<std::string> kinds;
    for (const auto& [at, frame] : seen) {
        kinds.push_back(std::to_string(frame.data[0] >> 4) + "@" + (frame.id == 0x7E2 ? "tester" : "ecu"));
        EXPECT_EQ(frame.data.size(), 8u) << "padded with 0xAA";
        if (frame.data[0] >> 4 == 3) EXPECT_EQ(hexText(frame.data), "30 02 05 AA AA AA AA AA");
    }
    const std::vector<std::string> expected = {"1@tester", "3@ecu", "2@tester", "1@ecu", "3@tester", "2@ecu"};
    EXPECT_EQ(kinds, expected);
}

TEST(CanLink, shouldEndEachTransportFaultInItsErrorWithinItsLimit)
{
    REQUIRE_VIRTUAL_CAN();
    Loopback line;
    WireRecord wire;
    line.link.startCommunication(line.ecu("EngineControl"), wire);
    line.link.startCommunication(line.ecu("ClimateControl"), wire);
    const Bytes status = {0x30, 0x02, 0x01};  // its answer takes two frames
    const Bytes longStart = {0x30, 0x01, 0x07, 0x32, 0x00, 0x00, 0x14, 0x50, 0x00};
    struct Case {
        const char* what;
        std::atomic<int>& fault;
        const char* ecu;
        Bytes request;
        int error;
    };
    const Case cases[] = {
        {"lost consecutive frame", line.link.transportFaults().lostConsecutive, "EngineControl", status,
         number(SessionError::TransportTimeout)},
        {"late flow control", line.link.transportFaults().lateFlowControl, "ClimateControl", longStart,
         number(SessionError::TransportTimeout)},
        {"overflow", line.link.transportFaults().overflow, "ClimateControl", longStart,
         number(SessionError::TransportError)},
    };
    for (const auto& c : cases) {
        c.fault = 1;
        const auto before = Clock::now();
        EXPECT_EQ(errorOf([&] { line.send(c.ecu, c.request); }), c.error) << c.what;
        EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(1000 + 700)) << c.what;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // what is left of the fault passes
        EXPECT_EQ(errorOf([&] { line.send(c.ecu, c.request); }), 0) << c.what << ": the next one goes through";
    }
}

TEST(CanLink, shouldRefuseAWrongSequenceNumber)
{
    REQUIRE_VIRTUAL_CAN();
    EcuDescription ecu;
    ecu.name = "Bench";
    ecu.can = CanSettings{};
    ecu.can->requestId = 0x6A0;
    ecu.can->responseId = 0x6A8;
    CanBusPort bench("virtualcan", loopbackCanInterface(), {});
    CanLink link("can:virtualcan:" + loopbackCanInterface(), {"virtualcan", loopbackCanInterface(), {}});
    std::atomic<bool> stop{false};
    std::thread answering([&] {
        while (!stop) {
            auto frame = bench.read(Clock::now() + std::chrono::milliseconds(20));
            if (!frame || frame->id != 0x6A0) continue;
            if (frame->data[1] == 0x81) {
                bench.write({0x6A8, false, {0x03, 0xC1, 0xEF, 0x8F}});
            } else if (frame->data[0] >> 4 == 0) {
                bench.write({0x6A8, false, {0x10, 0x0A, 0x7E, 1, 2, 3, 4, 5}});
            } else if (frame->data[0] >> 4 == 3) {
                bench.write({0x6A8, false, {0x22, 6, 7, 8, 9}});  // 2 where 1 is due
            }
        }
    });
    WireRecord wire;
    link.startCommunication(ecu, wire);
    EXPECT_EQ(errorOf([&] {
                  link.exchange(ecu, "TesterPresent", {0x3E, 0x01}, wire);
              }),
              number(SessionError::TransportError));
    stop = true;
    answering.join();
}

// What real ECUs and buses do beside a clean exchange: frames out of turn,
// answers spoilt or late, a flow control that asks to wait, a request of the
// tester's own cut short. The exchange either gets its answer or ends in an
// error, and the next ones go through.
TEST(CanLink, shouldKeepItsFootingOnFramesOutOfTurnAndSpoiltAnswers)
{
    REQUIRE_VIRTUAL_CAN();
    Loopback line;
    WireRecord wire;
    line.link.startCommunication(line.ecu("EngineControl"), wire);
    line.link.startCommunication(line.ecu("ClimateControl"), wire);
    TransportFaults& faults = line.link.transportFaults();
    const Bytes longStart = {0x30, 0x01, 0x07, 0x32, 0x00, 0x00, 0x14, 0x50, 0x00};
    struct Case {
        const char* what;
        std::atomic<int>& fault;
        const char* ecu;
        Bytes request;
        int error;
    };
    faults.waitMs = 600;  // longer than P2max, well within N_Bs
    const Case cases[] = {
        {"a frame of no known type", faults.garbage, "EngineControl", {0x3E, 0x01}, 0},
        {"a consecutive frame out of turn", faults.strayConsecutive, "EngineControl", {0x3E, 0x01}, 0},
        {"a flow-control WAIT", faults.flowControlWait, "ClimateControl", longStart, 0},
        {"a spoilt single frame", faults.corrupt, "EngineControl", {0x3E, 0x01}, number(SessionError::NoAnswer)},
        {"a late answer", faults.late, "EngineControl", {0x3E, 0x01}, number(SessionError::NoAnswer)},
    };
    for (const auto& c : cases) {
        c.fault = 1;
        const int error = errorOf([&] { line.send(c.ecu, c.request); });
        // A tester that is itself late on a busy machine may still take the late answer.
        EXPECT_TRUE(error == c.error || (&c.fault == &faults.late && error == 0)) << c.what << ": " << error;
        EXPECT_EQ(c.fault, 0) << c.what;
        if (c.error != 0) std::this_thread::sleep_for(std::chrono::milliseconds(faults.lateByMs + 20));
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(errorOf([&] { line.send(c.ecu, c.request); }), 0) << c.what << ", exchange " << i << " after it";
    }
    // A multi-frame request that the tester gave up after its first frame: the
    // ECU takes the next request as a new message.
    CanBusPort tester("virtualcan", loopbackCanInterface(), {});
    const CanSettings& climate = *line.ecu("ClimateControl").can;
    tester.write({climate.requestId, climate.extendedIds, {0x10, 0x09, 0x30, 0x01, 0x07, 0x32, 0x00, 0x00}});
    ASSERT_TRUE(tester.waitWritten(Clock::now() + std::chrono::seconds(1)));
    EXPECT_EQ(line.send("ClimateControl", {0x3E, 0x01}), (Bytes{0x7E}));
}

// A multi-frame answer that comes after the tester gave up: between exchanges
// the link still reads the bus and sends the flow control the ECU waits for,
// so the ECU can finish sending and take the next request.
TEST(CanLink, shouldSendFlowControlForALateFirstFrameBetweenExchanges)
{
    REQUIRE_VIRTUAL_CAN();
    const auto vehicle = relaxedDemo();
    const EcuDescription& engine = vehicle->ecus.front();
    const CanSettings& can = *engine.can;
    CanBusPort ecu("virtualcan", loopbackCanInterface(), {});
    OffThreadLink link(
        std::make_unique<CanLink>("can:virtualcan", CanOptions{"virtualcan", loopbackCanInterface(), {}}));
    const auto nextRequest = [&] {
        for (auto until = Clock::now() + std::chrono::seconds(5); Clock::now() < until;) {
            if (auto frame = ecu.read(Clock::now() + std::chrono::milliseconds(50));
                frame && frame->id == can.requestId)
                return frame;
        }
        return std::optional<CanFrame>();
    };
    // An ECU that needs no start on CAN says so.
    std::thread answerStart([&] {
        if (nextRequest()) ecu.write({can.responseId, can.extendedIds, {0x03, 0x7F, 0x81, 0x11, 0, 0, 0, 0}});
    });
    WireRecord wire;
    link.startCommunication(engine, wire);
    answerStart.join();
    EXPECT_EQ(errorOf([&] {
                  link.exchange(engine, "Status", {0x30, 0x01, 0x01}, wire);
              }),
              number(SessionError::NoAnswer));
    ASSERT_TRUE(nextRequest());  // the status request, still to be answered
    ecu.write({can.responseId, can.extendedIds, {0x10, 0x08, 0x70, 0x01, 0x01, 0x01, 0x00, 0x00}});
    const auto flowControl = nextRequest();
    ASSERT_TRUE(flowControl) << "no flow control for the late first frame";
    EXPECT_EQ(flowControl->data.at(0) >> 4, 3);
}
