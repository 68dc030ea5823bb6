#include "ControlFixture.h"
#include "ioctl_p.h"

#include <QSignalSpy>

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

// A session that counts how often its ECUs are enumerated.
struct CountingSession final : Sorvik3::Session {
    std::vector<Sorvik3::EcuRef> Ecus() override
    {
        ++enumerations;
        return {};
    }
    bool CommunicationStopped() override { return true; }
    void StopCommunication() override {}
    Sorvik3::ReadListRef CreateReadList() override { return nullptr; }
    int enumerations = 0;
};

int32_t errorNumberOf(const std::function<void()>& call, std::string* description = nullptr)
{
    try {
        call();
    } catch (const Sorvik3::Error& error) {
        if (description) *description = error.description();
        return error.number();
    }
    return 0;
}

}  // namespace

TEST_F(ControlFixture, shouldInitialiseInOrderAndShowTheVersion)
{
    initialise();
    EXPECT_EQ(control->ControlVersion(), "1.0.0.1");
    EXPECT_EQ(panelText("VERSION"), "V1.0.0.1");
    EXPECT_EQ(panelText("DIAG"), "Idle");
    EXPECT_FALSE(control->Busy());
    EXPECT_EQ(control->Session(), session);
    EXPECT_EQ(rowTexts(catalogueWidgets().lvFunctions),
              QStringList({"EngineControl|Engine control unit (diesel)", "BodyControl|Body control module",
                           "ClimateControl|Climate control (HVAC)", "DoorModule|Driver door module (UDS on CAN)"}));
    EXPECT_NE(catalogueWidgets().lvFunctions->findItem("16k"), nullptr);
}

TEST_F(ControlFixture, shouldLoadTheFunctionListOnceFromASessionSetEarlier)
{
    auto counting = std::make_shared<CountingSession>();
    control->setSession(counting);
    EXPECT_EQ(counting->enumerations, 0);  // before initParameters the session is only stored
    control->initParameters(dataDir(), "en");
    EXPECT_EQ(counting->enumerations, 1);
    auto other = std::make_shared<CountingSession>();
    control->initParameters(dataDir(), "en", other);
    EXPECT_EQ(other->enumerations, 1);
    EXPECT_EQ(control->Session(), other);
    control->setSession(counting);
    EXPECT_EQ(counting->enumerations, 2);  // setting it again reloads
}

TEST_F(ControlFixture, shouldStopInitialisingAtAMalformedLanguageFile)
{
    std::string description;
    const QString install = fixtureDir() + "/malformed";
    EXPECT_EQ(errorNumberOf([&] { control->initParameters(install, "en", session); }, &description), 1);
    EXPECT_THAT(description,
                HasSubstr("Unable to read language file : " + install.toStdString() + "/lang/ioctl.xml\r\nRaison : "));
    EXPECT_THAT(description, HasSubstr("\r\nLine : 3\r\nLinePos  : "));
    EXPECT_EQ(control->Session(), nullptr);
    EXPECT_EQ(panelText("VERSION"), "V1.0.0.0");
    EXPECT_EQ(catalogueWidgets().lvFunctions->rowCount(), 0);
    control->setSession(session);  // the installation path is known: the list loads now
    // Without the file's synonyms the differently named climate ECU is not offered.
    EXPECT_EQ(rowTexts(catalogueWidgets().lvFunctions),
              QStringList({"EngineControl|Engine control unit (diesel)", "BodyControl|Body control module",
                           "DoorModule|Driver door module (UDS on CAN)"}));
}

TEST_F(ControlFixture, shouldRefuseAHostileLanguageFileWithErrorOne)
{
    std::string description;
    EXPECT_EQ(errorNumberOf([&] { control->initParameters(fixtureDir() + "/hostile", "en"); }, &description), 1);
    EXPECT_THAT(description, HasSubstr("Raison : "));
    EXPECT_THAT(description, ::testing::Not(HasSubstr("root:")));
}

TEST_F(ControlFixture, shouldFailToTheHostOnDuplicateEcuIdsButRedrawAgain)
{
    auto twins = TavrinKwp::KwpSession::fromText(R"(<vehicle>
  <ecu id="7" name="A"><request name="OutputControl" service="0x30"><data name="OutputTemporaryControlList" position="1"><value name="X" number="1"/></data></request></ecu>
  <ecu id="7" name="B"><request name="OutputControl" service="0x30"><data name="OutputTemporaryControlList" position="1"><value name="Y" number="1"/></data></request></ecu>
</vehicle>)");
    EXPECT_NE(errorNumberOf([&] { control->initParameters(dataDir(), "en", twins); }), 0);
    EXPECT_EQ(rowTexts(catalogueWidgets().lvFunctions), QStringList({"A|"}));
    EXPECT_EQ(catalogueWidgets().lvFunctions->findItem("7k")->text(0), "A");
    EXPECT_TRUE(catalogueWidgets().lvFunctions->updatesEnabled());
}

TEST_F(ControlFixture, shouldNeverStartAgainAfterAbort)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("BodyControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("Horn"));
    control->Abort();
    TavrinIoCtl::Events(*control).cbStartTempo_Click();
    EXPECT_EQ(runState().CurrentState, TavrinIoCtl::SequenceState::Idle);
    EXPECT_FALSE(sequencerWidgets().ioCtlTimer->isActive());
    EXPECT_FALSE(control->Busy());
}

TEST_F(ControlFixture, shouldReleaseEveryReferenceWhenDestroyed)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("FuelPump"));
    std::weak_ptr<TavrinKwp::KwpSession> watched = session;
    session.reset();
    ASSERT_FALSE(watched.expired());
    control.reset();
    EXPECT_TRUE(watched.expired());
}

TEST_F(ControlFixture, shouldPublishItsPropertiesToHosts)
{
    EXPECT_EQ(control->property("ControlVersion").toString(), "1.0.0.1");
    EXPECT_EQ(control->property("Busy").toBool(), false);
    EXPECT_EQ(TavrinIoCtl::versionText(2, 3, 17), "2.3.0.17");
}
