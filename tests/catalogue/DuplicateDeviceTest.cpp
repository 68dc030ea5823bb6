#include "ControlFixture.h"
#include "NamedValueDoubles.h"

// A session library other than the simulator may name a device twice in one
// list; the simulator refuses such files, so small doubles stand in here.
namespace {

struct ControlRequest final : Sorvik3::Request {
    std::shared_ptr<NamedItem> temporary = std::make_shared<NamedItem>("OutputTemporaryControlList");
    std::string Name() override { return "OutputControl"; }
    Sorvik3::EcuRef Ecu() override { return nullptr; }
    Sorvik3::DataRef Data(const std::string& name) override
    {
        if (name == temporary->Name()) return temporary;
        throw Sorvik3::Error(5, "no " + name);
    }
    std::vector<Sorvik3::DataRef> Items() override { return {temporary}; }
    void Send() override {}
    std::string FrameText(bool) override { return {}; }
};

struct OneEcu final : Sorvik3::Ecu {
    std::shared_ptr<ControlRequest> control = std::make_shared<ControlRequest>();
    int32_t Id() override { return 3; }
    std::string Name() override { return "Twice"; }
    std::string Description() override { return "names a device twice"; }
    Sorvik3::RequestRef Request(const std::string& name) override
    {
        if (name == "OutputControl") return control;
        throw Sorvik3::Error(5, "no " + name);
    }
    std::vector<Sorvik3::DataRef> DataItems() override { return {}; }
    bool Initialized() override { return false; }
    void Init() override {}
};

struct OneEcuSession final : Sorvik3::Session {
    std::shared_ptr<OneEcu> ecu = std::make_shared<OneEcu>();
    std::vector<Sorvik3::EcuRef> Ecus() override { return {ecu}; }
    bool CommunicationStopped() override { return true; }
    void StopCommunication() override {}
    Sorvik3::ReadListRef CreateReadList() override { return nullptr; }
};

}  // namespace

TEST_F(ControlFixture, shouldKeepTheFirstEntryOfADeviceNamedTwice)
{
    auto twice = std::make_shared<OneEcuSession>();
    twice->ecu->control->temporary->list = std::make_shared<NamedEntries>();
    twice->ecu->control->temporary->list->entries = {{"Lamp", 1}, {"Horn", 2}, {"Lamp", 9}};
    control->initParameters(dataDir(), "en", twice);
    ASSERT_NO_FATAL_FAILURE(chooseEcu("Twice"));
    EXPECT_EQ(rowTexts(catalogueWidgets().lvDevices), QStringList({"Lamp|   1|X|", "Horn|   2|X|"}));
    EXPECT_EQ(logLines().front(), "ECU : 'names a device twice' requests : ");
}
