// The session library over the K-line link to the simulated vehicle behind a
// real pseudo-terminal gives what it gives over the in-process link.
#include "DemoVehicle.h"
#include "ErrorNumbers.h"
#include "ErrorOf.h"
#include "FaultInjector.h"
#include "InProcessLink.h"
#include "KwpSession.h"
#include "LinkRegistry.h"
#include "LoopbackLink.h"
#include "SessionClock.h"
#include "SimulatedVehicle.h"
#include "VehicleLoader.h"
#include "VehicleSimulator.h"

#include <gtest/gtest.h>

using TavrinKwp::SessionError;

namespace {

struct Outcome {
    int error = 0;
    std::string sent;
    std::string received;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o)
{
    return out << "error " << o.error << ", " << o.sent << " -> " << o.received;
}

Outcome send(Sorvik3::Session& session, const std::string& ecu, const std::string& request)
{
    for (auto& candidate : session.Ecus()) {
        if (candidate->Name() != ecu) continue;
        auto sent = candidate->Request(request);
        Outcome outcome;
        try {
            sent->Send();
        } catch (const Sorvik3::Error& error) {
            outcome.error = error.number();
        }
        outcome.sent = sent->FrameText(true);
        outcome.received = sent->FrameText(false);
        return outcome;
    }
    return {-1, "", ""};
}

struct Pair {
    Pair()
    {
        sim->setClock(simClock.clock());
        line->setClock(lineClock.clock());
    }
    std::shared_ptr<TavrinKwp::KwpSession> sim = TavrinKwp::demoSession();
    std::shared_ptr<TavrinKwp::KwpSession> line =
        TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", "kline:loopback");
    TavrinKwp::ManualClock simClock{1000};
    TavrinKwp::ManualClock lineClock{1000};
};

}  // namespace

TEST(KLineLoopback, shouldAnswerEveryRequestOfTheDemoVehicleAsTheInProcessLinkDoes)
{
    Pair pair;
    EXPECT_EQ(pair.line->linkName(), "kline:loopback");
    EXPECT_TRUE(TavrinKwp::isSimulated(*pair.line));
    for (size_t e = 0; e < pair.sim->vehicle().ecus.size(); ++e) {
        const auto& ecu = pair.sim->vehicle().ecus[e];
        pair.sim->Ecus()[e]->Init();
        pair.line->Ecus()[e]->Init();
        EXPECT_TRUE(pair.line->communicationOpen(ecu.name));
        for (const auto& request : ecu.requests) {
            EXPECT_EQ(send(*pair.line, ecu.name, request.name), send(*pair.sim, ecu.name, request.name))
                << ecu.name << " " << request.name;
        }
    }
    pair.line->StopCommunication();
    EXPECT_TRUE(pair.line->CommunicationStopped());
}

TEST(KLineLoopback, shouldCarryNegativeAnswersAndSilenceAsErrors)
{
    Pair pair;
    pair.line->Ecus()[0]->Init();
    TavrinKwp::simulatedVehicle(*pair.line)
        .faults()
        .answerNegatively("EngineControl", "TesterPresent.WithResponse", 0x21, 1);
    const Outcome refused = send(*pair.line, "EngineControl", "TesterPresent.WithResponse");
    EXPECT_EQ(refused.error, 0x21);
    EXPECT_EQ(refused.received, "83 F1 11 7F 3E 21 63");
    TavrinKwp::simulatedVehicle(*pair.line).faults().dropAnswer("EngineControl", "TesterPresent.WithResponse", 1);
    const Outcome silent = send(*pair.line, "EngineControl", "TesterPresent.WithResponse");
    EXPECT_EQ(silent.error, number(SessionError::NoAnswer));
    EXPECT_EQ(silent.received, "");
    EXPECT_EQ(send(*pair.line, "EngineControl", "TesterPresent.WithResponse").error, 0);
}

TEST(KLineLoopback, shouldStartAgainAfterP3maxOfSilence)
{
    Pair pair;
    pair.line->Ecus()[0]->Init();
    // The simulated ECU ends the communication after P3max; the link starts it again by itself.
    pair.lineClock.advance(pair.line->vehicle().ecus[0].kline.timing.p3Max + 1);
    EXPECT_EQ(send(*pair.line, "EngineControl", "TesterPresent.WithResponse").error, 0);
}

// The faults of the line that the simulated ECUs make on a real pseudo-terminal:
// the exchange they spoil ends in an error, the next ones get their own answers.
TEST(KLineLoopback, shouldGetBackInStepAfterEachFaultOfTheLine)
{
    using namespace TavrinKwp;
    // A simulated ECU scheduled late on a busy machine must not look like a fault: P2max is roomy.
    VehicleDescription relaxed = loadVehicleText(demoVehicleXml(), "demo.xml");
    for (auto& ecu : relaxed.ecus)
        ecu.kline.timing.p2Max = 300;
    const auto vehicle = std::make_shared<const VehicleDescription>(std::move(relaxed));
    LoopbackLink link("kline:loopback", std::make_shared<VehicleSimulator>(vehicle), KLineOptions{});
    const EcuDescription& engine = vehicle->ecus[0];
    TransportFaults& faults = link.transportFaults();
    auto exchange = [&](const Bytes& request) {
        WireRecord wire;
        return link.exchange(engine, "Request", request, wire);
    };
    // The wake-up pattern read back as a 0x00 before the echo.
    faults.strayZero = 1;
    WireRecord wire;
    ASSERT_NO_THROW(link.startCommunication(engine, wire));
    EXPECT_EQ(faults.strayZero, 0);
    struct Case {
        const char* what;
        std::atomic<int>& fault;
        int error;
    };
    faults.lateByMs = 1;  // one millisecond past P2max was enough to fall out of step
    const Case cases[] = {{"late", faults.late, number(SessionError::NoAnswer)},
                          {"corrupt", faults.corrupt, number(SessionError::BadFrame)},
                          {"garbage", faults.garbage, number(SessionError::BadFrame)}};
    for (const auto& c : cases) {
        c.fault = 1;
        const int error = errorOf([&] { exchange({0x3E, 0x01}); });
        // A tester that is itself late on a busy machine may still take the late answer.
        EXPECT_TRUE(error == c.error || (&c.fault == &faults.late && error == 0)) << c.what << ": " << error;
        EXPECT_EQ(c.fault, 0) << c.what;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(exchange({0x3E, 0x01}), (Bytes{0x7E})) << c.what << ", exchange " << i << " after it";
    }
}

// StopCommunication goes to every ECU still open when the session ends, on every link.
TEST(Loopbacks, shouldCloseTheCommunicationWhenTheSessionEnds)
{
    for (const char* link : {"sim", "kline:loopback", "can:loopback"}) {
        auto session = TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", link);
        auto seen = std::make_shared<std::vector<std::string>>();
        TavrinKwp::simulatedVehicle(*session).observeRequests(
            [seen](const std::string& ecu, const TavrinKwp::Bytes& request) {
                seen->push_back(ecu + " " + TavrinKwp::hexText(request));
            });
        try {
            session->Ecus()[0]->Init();
            session->Ecus()[2]->Init();
        } catch (const Sorvik3::Error& error) {
            if (std::string(link) == "can:loopback" && error.number() == number(SessionError::LinkUnavailable))
                continue;
            throw;
        }
        session.reset();
        const std::vector<std::string> expected = {"EngineControl 81", "ClimateControl 81", "EngineControl 82",
                                                   "ClimateControl 82"};
        EXPECT_EQ(*seen, expected) << link;
    }
}

TEST(Connections, shouldRefuseWhatNamesNoLink)
{
    for (const char* text : {"can0", "kline:", "kline:/dev/ttyUSB0?baud=fast", "kline:/dev/ttyUSB0?echo=2",
                             "kline:/dev/ttyUSB0?parity=odd", "kline:/dev/ttyUSB0?baud"}) {
        try {
            TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", text);
            ADD_FAILURE() << text << " was taken";
        } catch (const Sorvik3::Error& error) {
            EXPECT_EQ(error.number(), number(SessionError::BadConnection)) << text;
        }
    }
    auto real =
        TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", "kline:/dev/ttyUSB7?baud=9600&echo=0");
    EXPECT_FALSE(TavrinKwp::isSimulated(*real));
    EXPECT_THROW(TavrinKwp::simulatedVehicle(*real).faults(), Sorvik3::Error);
}

// A host adds a kind of link of its own as the real ones are added: the
// session opens it by its scheme, its check refuses what it does not take, a
// port of its own comes before its scheme, and the words of a refusal name it.
TEST(Connections, shouldOpenAKindOfLinkAHostRegistered)
{
    std::vector<std::string> opened;
    const auto kind = [&opened](const std::string& name) {
        return TavrinKwp::LinkKind{[&opened, name](const std::string& text, const TavrinKwp::Connection&,
                                                   std::shared_ptr<const TavrinKwp::VehicleDescription> vehicle) {
                                       opened.push_back(name + " " + text);
                                       auto simulator = std::make_shared<TavrinKwp::VehicleSimulator>(vehicle);
                                       return TavrinKwp::OpenedLink{
                                           std::make_shared<TavrinKwp::InProcessLink>(simulator),
                                           std::make_shared<TavrinKwp::SimulatedVehicle>(simulator, nullptr)};
                                   },
                                   [](const std::string& text, const TavrinKwp::Connection& connection) {
                                       if (!connection.options.empty())
                                           TavrinKwp::refuseConnection(text, "replay takes no options");
                                   },
                                   "replay:FILE"};
    };
    TavrinKwp::registerLink("replay", kind("scheme"));
    TavrinKwp::registerLink("replay:special", kind("port"));

    auto session = TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", "replay:run1");
    const auto engine = session->Ecus().front();
    EXPECT_EQ(errorOf([&] { engine->Init(); }), 0);
    EXPECT_TRUE(session->communicationOpen(engine->Name()));
    TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", "replay:special");
    EXPECT_EQ(opened, (std::vector<std::string>{"scheme replay:run1", "port replay:special"}));

    EXPECT_EQ(errorOf([] { TavrinKwp::checkConnection("replay:run1?speed=2"); }), number(SessionError::BadConnection));
    try {
        TavrinKwp::checkConnection("bogus:x");
        ADD_FAILURE() << "bogus:x was taken";
    } catch (const Sorvik3::Error& error) {
        EXPECT_NE(error.description().find("replay:FILE"), std::string::npos) << error.description();
    }
}
