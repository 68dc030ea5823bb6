// The ELM link through an emulated ELM327 (and STN) adapter on a real
// pseudo-terminal: every request of the demo vehicle answered as the in-process
// link answers it, over CAN and the K-line; long requests frame by frame and
// whole; each of the adapter's own replies an error in words, after which the
// link keeps its footing; a clone that refuses commands; an adapter gone silent.
#include "ByteChannel.h"
#include "DemoVehicle.h"
#include "ElmLoopbackLink.h"
#include "ErrorOf.h"
#include "Kwp2000Frame.h"
#include "RequestOutcome.h"
#include "SessionClock.h"
#include "VehicleLoader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace TavrinKwp;

namespace {

struct Adapter {
    explicit Adapter(bool stn = false, ElmOptions::Protocol protocol = ElmOptions::Protocol::Auto)
        : vehicle(std::make_shared<const VehicleDescription>(loadVehicleText(demoVehicleXml(), "demo.xml"))),
          simulator(std::make_shared<VehicleSimulator>(vehicle)),
          link("elm:loopback", simulator, ElmOptions{"", 0, 500000, protocol}, stn)
    {}
    const EcuDescription& ecu(const std::string& name)
    {
        for (const auto& e : vehicle->ecus)
            if (e.name == name) return e;
        throw std::runtime_error(name);
    }
    void start(const std::string& name)
    {
        WireRecord wire;
        link.startCommunication(ecu(name), wire);
    }
    Bytes send(const std::string& name, const Bytes& request)
    {
        WireRecord wire;
        return link.exchange(ecu(name), "Request", request, wire);
    }
    void fault(const std::string& reply)
    {
        std::lock_guard lock(link.transportFaults().elm.mutex);
        link.transportFaults().elm.replies[reply] = 1;
    }
    std::shared_ptr<const VehicleDescription> vehicle;
    std::shared_ptr<VehicleSimulator> simulator;
    ElmLoopbackLink link;
};

const Bytes kTesterPresent = {0x3E, 0x01};
// Nine bytes: more than one CAN frame; the ECU's flow control asks for blocks of two, 5 ms apart.
const Bytes kLongStart = {0x30, 0x01, 0x07, 0x32, 0x00, 0x00, 0x14, 0x50, 0x00};

}  // namespace

TEST(ElmLink, shouldAnswerEveryRequestOfTheDemoVehicleAsTheInProcessLinkDoes)
{
    for (const char* link : {"elm:loopback", "elm:loopback?protocol=kline", "elm:loopback?chip=stn"}) {
        auto sim = demoSession();
        auto elm = KwpSession::fromText(demoVehicleXml(), "demo.xml", link);
        ManualClock simClock(1000), elmClock(1000);
        sim->setClock(simClock.clock());
        elm->setClock(elmClock.clock());
        const bool kline = std::string(link).find("kline") != std::string::npos;
        for (size_t e = 0; e < sim->vehicle().ecus.size(); ++e) {
            sim->Ecus()[e]->Init();
            elm->Ecus()[e]->Init();
            for (const auto& request : sim->vehicle().ecus[e].requests) {
                EXPECT_EQ(requestOutcome(*elm, e, request.name, kline), requestOutcome(*sim, e, request.name, true))
                    << link << " " << sim->vehicle().ecus[e].name << " " << request.name;
            }
        }
        elm->StopCommunication();
        EXPECT_TRUE(elm->CommunicationStopped()) << link;
    }
}

TEST(ElmLink, shouldSendALongRequestFrameByFrameOnAnElmAndWholeOnAnStn)
{
    for (bool stn : {false, true}) {
        Adapter adapter(stn);
        adapter.start("ClimateControl");
        const Bytes answer = adapter.send("ClimateControl", kLongStart);
        EXPECT_EQ(answer.size(), 8u) << "an answer of two frames, stn " << stn;
        EXPECT_EQ(answer.front(), 0x70);
        // Formatting is back on: a short request after it is answered as usual.
        EXPECT_EQ(adapter.send("ClimateControl", kTesterPresent).front(), 0x7E);
    }
}

// Clones lie about themselves: one that answers STI as an STN but does not
// know STPX (it answers "?", or nothing at all) is found out by its first long
// request, which then goes frame by frame, and the adapter check says so.
TEST(ElmLink, shouldDriveACloneThatNamesItselfAnStnButDoesNotKnowStpxAsAnElm)
{
    for (const bool answersNothing : {false, true}) {
        SCOPED_TRACE(answersNothing ? "STPX not answered" : "STPX refused");
        Adapter clone(true);
        {
            std::lock_guard lock(clone.link.transportFaults().elm.mutex);
            (answersNothing ? clone.link.transportFaults().elm.ignored
                            : clone.link.transportFaults().elm.refused) = {"STPX"};
        }
        clone.start("ClimateControl");
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(clone.send("ClimateControl", kLongStart).size(), 8u) << "long request " << i;
        EXPECT_EQ(clone.send("ClimateControl", kTesterPresent).front(), 0x7E) << "the line is clean afterwards";
        const auto report = clone.link.checkAdapter(*clone.vehicle);
        const auto says = [&](const std::string& text) {
            return std::any_of(report.begin(), report.end(),
                               [&](const std::string& line) { return line.find(text) != std::string::npos; });
        };
        EXPECT_TRUE(says("names itself an STN")) << ::testing::PrintToString(report);
        EXPECT_TRUE(says("refuses STPX: long CAN requests are sent frame by frame"));
    }
}

TEST(ElmLink, shouldTurnEachAdapterReplyIntoAnErrorInWordsAndKeepItsFooting)
{
    struct Case {
        const char* reply;
        SessionError error;
        const char* words;
    };
    const Case cases[] = {
        {"NO DATA", SessionError::NoAnswer, "No answer from ECU 'EngineControl'"},
        {"BUFFER FULL", SessionError::BadFrame, "buffer overflowed"},
        {"DATA ERROR", SessionError::BadFrame, "damaged answer"},
        {"<RX ERROR", SessionError::BadFrame, "damaged CAN frame"},
        {"CAN ERROR", SessionError::LinkUnavailable, "check the bit rate"},
        {"BUS ERROR", SessionError::LinkUnavailable, "short or an open line"},
        {"UNABLE TO CONNECT", SessionError::NoAnswer, "found no vehicle"},
        {"STOPPED", SessionError::TransportError, "STOPPED"},
    };
    Adapter adapter;
    adapter.start("EngineControl");
    for (const auto& c : cases) {
        adapter.fault(c.reply);
        try {
            adapter.send("EngineControl", kTesterPresent);
            ADD_FAILURE() << c.reply << " was taken for an answer";
        } catch (const Sorvik3::Error& error) {
            EXPECT_EQ(error.number(), number(c.error)) << c.reply;
            EXPECT_NE(error.description().find(c.words), std::string::npos) << error.description();
        }
        EXPECT_EQ(adapter.send("EngineControl", kTesterPresent).front(), 0x7E) << "after " << c.reply;
    }
}

TEST(ElmLink, shouldSayWhatACloneRefusesAndStopAtARequiredCommand)
{
    Adapter clone;
    {
        std::lock_guard lock(clone.link.transportFaults().elm.mutex);
        clone.link.transportFaults().elm.refused = {"ATFCSM", "ATSW", "ATRV"};
    }
    clone.start("EngineControl");
    EXPECT_EQ(clone.send("EngineControl", kTesterPresent).front(), 0x7E);
    const auto report = clone.link.checkAdapter(*clone.vehicle);
    auto says = [&](const std::string& text) {
        return std::any_of(report.begin(), report.end(),
                           [&](const std::string& line) { return line.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(says("refuses ATFCSM1: the adapter's own flow control is used"));
    EXPECT_TRUE(says("battery: not read (the adapter refuses ATRV)"));
    EXPECT_TRUE(says("chip: not an STN"));

    Adapter headless;
    {
        std::lock_guard lock(headless.link.transportFaults().elm.mutex);
        headless.link.transportFaults().elm.refused = {"ATH"};
    }
    try {
        headless.start("EngineControl");
        ADD_FAILURE() << "an adapter that shows no headers was used";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(SessionError::LinkUnavailable));
        EXPECT_NE(error.description().find("refuses 'ATH1'"), std::string::npos) << error.description();
    }
}

TEST(ElmLink, shouldTellAnAdapterThatStopsAnsweringOrResetsAndSetItUpAnew)
{
    Adapter adapter(false, ElmOptions::Protocol::KLine);
    adapter.start("BodyControl");
    adapter.fault("silent");
    try {
        adapter.send("BodyControl", kTesterPresent);
        ADD_FAILURE() << "a silent adapter was waited on for ever";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(SessionError::LinkUnavailable));
        EXPECT_NE(error.description().find("stopped answering"), std::string::npos) << error.description();
    }
    // Until it is started again every request says why it cannot go out.
    EXPECT_EQ(errorOf([&] { adapter.send("BodyControl", kTesterPresent); }), number(SessionError::LinkUnavailable));
    adapter.start("BodyControl");
    EXPECT_EQ(adapter.send("BodyControl", kTesterPresent).front(), 0x7E);

    // An adapter that reset itself for low voltage has lost its settings: set up anew at the next start.
    adapter.fault("LV RESET");
    EXPECT_EQ(errorOf([&] { adapter.send("BodyControl", kTesterPresent); }), number(SessionError::LinkUnavailable));
    EXPECT_EQ(errorOf([&] { adapter.send("BodyControl", kTesterPresent); }), number(SessionError::LinkUnavailable));
    adapter.start("BodyControl");
    EXPECT_EQ(adapter.send("BodyControl", kTesterPresent).front(), 0x7E);
}

TEST(ElmLink, shouldReachAnEcuOn29BitIdentifiersAtAnotherBitRate)
{
    const char* xml = R"(<vehicle name="Wide"><ecu id="1" name="Gateway" address="0x20">
        <can request="0x18DA20F1" response="0x18DAF120" extended="true"/>
        <request name="TesterPresent.WithResponse" service="0x3E" bytes="3E 01"/></ecu></vehicle>)";
    auto vehicle = std::make_shared<const VehicleDescription>(loadVehicleText(xml, "wide.xml"));
    const EcuDescription& gateway = vehicle->ecus.front();
    // 125 kbit/s is the adapter's user protocol B, 500 kbit/s divided by 4.
    ElmLoopbackLink link("elm:loopback", std::make_shared<VehicleSimulator>(vehicle),
                         ElmOptions{"", 0, 125000, ElmOptions::Protocol::Auto}, false);
    WireRecord wire;
    link.startCommunication(gateway, wire);
    EXPECT_EQ(link.exchange(gateway, "TesterPresent", kTesterPresent, wire).front(), 0x7E);

    ElmLoopbackLink odd("elm:loopback", std::make_shared<VehicleSimulator>(vehicle),
                        ElmOptions{"", 0, 300000, ElmOptions::Protocol::Auto}, false);
    EXPECT_EQ(errorOf([&] { odd.startCommunication(gateway, wire); }), number(SessionError::BadConnection));
}

TEST(ElmLink, shouldGiveUpAWaitThroughResponsePendingWhenInterrupted)
{
    // The ECU answers "response pending" five times, 100 ms apart, before its answer.
    const char* xml = R"(<vehicle name="Slow"><ecu id="1" name="Slow" address="0x20">
        <can request="0x7E0" response="0x7E8"/>
        <request name="Routine" service="0x31" bytes="31 01" pending="5"/>
        <request name="TesterPresent.WithResponse" service="0x3E" bytes="3E 01"/></ecu></vehicle>)";
    auto session = KwpSession::fromText(xml, "slow.xml", "elm:loopback");
    auto ecu = session->Ecus().front();
    ecu->Init();
    std::atomic<bool> done{false};
    int error = 0;
    std::thread waiting([&] {
        error = errorOf([&] { ecu->Request("Routine")->Send(); });
        done = true;
    });
    // Asked again and again, so that one comes while the adapter waits.
    while (!done) {
        session->InterruptWait();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    waiting.join();
    EXPECT_EQ(error, number(SessionError::Interrupted));
    // The adapter said STOPPED and prompted: the next request is answered as usual.
    auto tester = ecu->Request("TesterPresent.WithResponse");
    tester->Send();
    EXPECT_EQ(tester->FrameText(false), "7E");
}

namespace {

// Something on a pseudo-terminal that is no well-behaved adapter: it prompts
// after every setting, and answers a request with text that never ends.
class Babbler {
  public:
    explicit Babbler(bool promptsAtAll) : channel_(openPseudoTerminal()), prompts_(promptsAtAll)
    {
        thread_ = std::thread([this] { run(); });
    }
    ~Babbler()
    {
        stop_ = true;
        thread_.join();
    }
    std::string path() const { return channel_->peerPath(); }

  private:
    void run()
    {
        const std::string noise = "7E8 03 7F 30 78\r";
        std::string line;
        bool babbling = !prompts_;
        while (!stop_) {
            uint8_t buffer[64];
            const size_t got = channel_->read(buffer, sizeof buffer, babbling ? 0 : 10);
            for (size_t i = 0; i < got; ++i) {
                if (buffer[i] != '\r') {
                    line.push_back(static_cast<char>(buffer[i]));
                } else if (prompts_ && (line.rfind("AT", 0) == 0 || line.rfind("ST", 0) == 0)) {
                    const std::string reply = (line == "ATI" ? "ELM327 v1.5" : "OK") + std::string("\r\r>");
                    channel_->write(Bytes(reply.begin(), reply.end()));
                    line.clear();
                } else {
                    babbling = true;
                }
            }
            if (babbling) channel_->write(Bytes(noise.begin(), noise.end()));
        }
    }
    std::unique_ptr<ByteChannel> channel_;
    bool prompts_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

TEST(ElmLink, shouldRefuseAPortWithoutAnAdapterAndCutOffTextWithoutEnd)
{
    Adapter reference;
    const EcuDescription& engine = reference.ecu("EngineControl");
    WireRecord wire;
    {
        Babbler noise(false);
        ElmLink link("elm:noise", ElmOptions{noise.path(), 0, 500000, ElmOptions::Protocol::Auto});
        try {
            link.startCommunication(engine, wire);
            ADD_FAILURE() << "noise was taken for an adapter";
        } catch (const Sorvik3::Error& error) {
            EXPECT_EQ(error.number(), number(SessionError::LinkUnavailable));
            EXPECT_NE(error.description().find("No ELM327-compatible adapter answers"), std::string::npos)
                << error.description();
        }
    }
    Babbler endless(true);
    ElmLink link("elm:endless", ElmOptions{endless.path(), 38400, 500000, ElmOptions::Protocol::Auto});
    try {
        link.startCommunication(engine, wire);
        ADD_FAILURE() << "a reply without end was waited on";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(SessionError::LinkUnavailable));
        EXPECT_NE(error.description().find("without a prompt"), std::string::npos) << error.description();
    }
}
