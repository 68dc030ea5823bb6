// A UDS ECU (the demo vehicle's DoorModule) through the session library over
// each link: SecurityAccess through the key plug-in, its refusals in words, the
// ECU's own P2, a tester present that asks for no answer, and the ECU's word
// that it took control back when its session ended.
#include "DemoVehicle.h"
#include "ErrorNumbers.h"
#include "FaultInjector.h"
#include "KwpSession.h"
#include "SessionClock.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"

#include <gtest/gtest.h>

#include <regex>

using TavrinKwp::SessionError;

namespace {

struct Sent {
    int error = 0;
    std::string description;
    std::string answer;
};

class UdsOverLink : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override
    {
        session = TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", GetParam());
        session->setClock(clock.clock());
        session->setKeyPluginFolders({TAVRIN_KEY_PLUGIN_DIR});
        try {
            door()->Init();
        } catch (const Sorvik3::Error& error) {
            if (error.number() == number(SessionError::LinkUnavailable)) GTEST_SKIP() << error.description();
            throw;
        }
    }

    Sorvik3::EcuRef door() const { return session->Ecus().back(); }

    Sent send(const std::string& request)
    {
        auto sent = door()->Request(request);
        Sent outcome;
        try {
            sent->Send();
        } catch (const Sorvik3::Error& error) {
            outcome.error = error.number();
            outcome.description = error.description();
        }
        outcome.answer = sent->FrameText(false);
        return outcome;
    }

    bool driven(const std::string& device)
    {
        return TavrinKwp::simulatedVehicle(*session).behaviour("DoorModule").deviceRunning(device, clock.now());
    }

    TavrinKwp::ManualClock clock{1000};
    std::shared_ptr<TavrinKwp::KwpSession> session;
};

}  // namespace

TEST_P(UdsOverLink, shouldUnlockWithTheKeyPluginAndReturnControlOnTheStop)
{
    ASSERT_EQ(send("StartDiagnosticSession").error, 0);
    const Sent start = send("OutputControl.Start.BlowerFan");
    EXPECT_EQ(start.error, 0) << start.description;
    EXPECT_TRUE(driven("BlowerFan"));
    auto stop = door()->Request("OutputControl.Stop");
    stop->Data("OutputTemporaryControlList")->setValueName("BlowerFan");
    stop->Send();
    EXPECT_FALSE(driven("BlowerFan"));
    // Both windows share one identifier: the mask says which output moves, and they never move together.
    EXPECT_EQ(send("OutputControl.Start.WindowUp").error, 0);
    EXPECT_EQ(send("OutputControl.Start.WindowDown").error, 0x22);
    EXPECT_TRUE(driven("WindowUp"));
    EXPECT_FALSE(driven("WindowDown"));
    EXPECT_EQ(send("OutputControl.Stop.WindowUp").error, 0);
    EXPECT_FALSE(driven("WindowUp"));
}

TEST_P(UdsOverLink, shouldTellEachKeyRefusalInWordsWithoutTheKey)
{
    ASSERT_EQ(send("StartDiagnosticSession").error, 0);
    TavrinKwp::simulatedVehicle(*session).faults().refuseKey("DoorModule", 3);
    const int expected[] = {0x35, 0x35, 0x36, 0x37};
    for (int code : expected) {
        const Sent refused = send("OutputControl.Start.BlowerFan");
        EXPECT_EQ(refused.error, code) << refused.description;
        EXPECT_FALSE(driven("BlowerFan"));
        if (code != 0x37) {
            // The key the plug-in gave is named by its first byte alone.
            EXPECT_TRUE(std::regex_search(refused.description, std::regex(R"(\(key [0-9A-F]{2} \*\* \*\* \*\*\))")))
                << refused.description;
        }
    }
    EXPECT_NE(std::string::npos, send("OutputControl.Start.BlowerFan").description.find("requiredTimeDelayNotExpired"));
    clock.advance(10001);
    EXPECT_EQ(send("StartDiagnosticSession").error, 0);
    EXPECT_EQ(send("OutputControl.Start.BlowerFan").error, 0);
    EXPECT_TRUE(driven("BlowerFan"));
}

TEST_P(UdsOverLink, shouldRefuseOutputControlWithoutAPluginAndSaySo)
{
    session->setKeyPluginFolders({"/nonexistent/key-plugins"});
    ASSERT_EQ(send("StartDiagnosticSession").error, 0);
    const Sent refused = send("OutputControl.Start.BlowerFan");
    EXPECT_EQ(refused.error, number(SessionError::KeyPlugin));
    EXPECT_NE(std::string::npos, refused.description.find("'tavrin-example-key' is in none of the folders named: "
                                                          "/nonexistent/key-plugins"))
        << refused.description;
    EXPECT_FALSE(driven("BlowerFan"));
    EXPECT_THROW(session->setKeyPluginFolders({"key-plugins"}), Sorvik3::Error) << "a relative folder";
}

TEST_P(UdsOverLink, shouldSayTheEcuTookControlBackWhenItsSessionEnded)
{
    ASSERT_EQ(send("StartDiagnosticSession").error, 0);
    auto start = door()->Request("OutputControl");
    start->Data("OutputTemporaryControlList")->setValueName("PuddleLamp");
    start->Data("OutputControlCommand")->setValueName("Start Temporary");
    start->Send();
    EXPECT_TRUE(driven("PuddleLamp"));
    // A suppressed tester present holds the session (S3)...
    clock.advance(4000);
    const Sent present = send("TesterPresent");
    EXPECT_EQ(present.error, 0) << present.description;
    EXPECT_EQ(present.answer, "") << "no positive answer asked for, none came";
    clock.advance(4000);
    EXPECT_TRUE(driven("PuddleLamp"));
    // ...silence longer than S3 ends it, and the ECU takes its output back.
    clock.advance(5001);
    EXPECT_FALSE(driven("PuddleLamp"));
    auto stop = door()->Request("OutputControl.Stop");
    stop->Data("OutputTemporaryControlList")->setValueName("PuddleLamp");
    try {
        stop->Send();
        ADD_FAILURE() << "a stop refused in the default session was taken as confirmed";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), Sorvik3::kControlTakenBackByEcu) << error.description();
        EXPECT_NE(std::string::npos, error.description().find("taken control of data identifier 4A 10 back"));
    }
}

TEST_P(UdsOverLink, shouldNeverTakeASuppressedAnswerSentAnywayForTheNextRequests)
{
    ASSERT_EQ(send("StartDiagnosticSession").error, 0);
    TavrinKwp::simulatedVehicle(*session).faults().answerSuppressed("DoorModule", "TesterPresent");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(send("TesterPresent").error, 0);
        const Sent status = send("OutputControl.Status.MirrorHeater");
        EXPECT_EQ(status.error, 0) << status.description;
        EXPECT_NE(std::string::npos, status.answer.find("62 4A 11")) << status.answer;
    }
}

INSTANTIATE_TEST_SUITE_P(Links, UdsOverLink, ::testing::Values("sim", "can:loopback", "elm:loopback"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find(':'));
                         });

// The ECU gives its own P2 in the answer to DiagnosticSessionControl: an answer
// later than the description's P2 but within the ECU's is taken from then on.
TEST(UdsTiming, shouldWaitAsLongAsTheEcuSaysAfterTheSessionStart)
{
    auto session = TavrinKwp::demoSession();
    TavrinKwp::ManualClock clock{1000};
    session->setClock(clock.clock());
    auto door = session->Ecus().back();
    door->Init();
    auto& faults = TavrinKwp::simulatedVehicle(*session).faults();
    faults.spoilAnswer("DoorModule", "ReadData.Mirror", TavrinKwp::FaultDescription::Kind::Late);
    EXPECT_THROW(door->Request("ReadData.Mirror")->Send(), Sorvik3::Error);
    door->Request("StartDiagnosticSession")->Send();
    EXPECT_NO_THROW(door->Request("ReadData.Mirror")->Send());
}
