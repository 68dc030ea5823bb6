#include "MultiLanguage.h"
#include "NamedValueDoubles.h"
#include "Utils.h"

#include <gtest/gtest.h>

#include <map>

using namespace TavrinIoCtl;

namespace {

// An ECU that knows some request names and remembers every name it was asked for.
struct FakeEcu final : Sorvik3::Ecu {
    std::map<std::string, Sorvik3::RequestRef> requests;
    std::vector<std::string> asked;
    int32_t Id() override { return 1; }
    std::string Name() override { return "Fake"; }
    std::string Description() override { return {}; }
    Sorvik3::RequestRef Request(const std::string& name) override
    {
        asked.push_back(name);
        auto found = requests.find(name);
        if (found == requests.end()) throw Sorvik3::Error(5, "unknown " + name);
        return found->second;
    }
    std::vector<Sorvik3::DataRef> DataItems() override { return {}; }
    bool Initialized() override { return false; }
    void Init() override {}
};

struct FakeRequest final : Sorvik3::Request {
    std::string Name() override { return {}; }
    Sorvik3::EcuRef Ecu() override { return nullptr; }
    Sorvik3::DataRef Data(const std::string&) override { throw Sorvik3::Error(5, "no data"); }
    std::vector<Sorvik3::DataRef> Items() override { return {}; }
    void Send() override {}
    std::string FrameText(bool) override { return {}; }
};

class LookupTest : public ::testing::Test {
  protected:
    void loadSynonyms() { language.LoadLanguageFile(QStringLiteral(TAVRIN_FIXTURE_DIR) + "/languages", "en"); }
    Sorvik3::RequestRef known(const std::string& name)
    {
        auto request = std::make_shared<FakeRequest>();
        ecu->requests[name] = request;
        return request;
    }
    int32_t valueError(const Sorvik3::DataRef& data, const QString& name)
    {
        try {
            utils::FindValueByName(language, data, name);
        } catch (const Sorvik3::Error& error) {
            return error.number();
        }
        return 0;
    }

    multilanguage::Language language;
    std::shared_ptr<FakeEcu> ecu = std::make_shared<FakeEcu>();
};

}  // namespace

// A request lookup: the names the ECU knows, the name and suffix asked for, the
// one found and every name the ECU was asked for, in order.
struct RequestLookup {
    const char* what;
    std::vector<std::string> known;
    const char* name;
    const char* suffix;
    const char* found;
    std::vector<std::string> asked;  // empty: not checked
};

class RequestLookupTest : public LookupTest, public ::testing::WithParamInterface<RequestLookup> {};

TEST_P(RequestLookupTest, shouldTryTheNameThenEachSynonymWithTheSuffix)
{
    const RequestLookup& c = GetParam();
    loadSynonyms();
    std::map<std::string, Sorvik3::RequestRef> requests;
    for (const auto& name : c.known)
        requests[name] = known(name);
    EXPECT_EQ(utils::FindRequestByName(language, ecu, c.name, c.suffix), requests.at(c.found));
    if (!c.asked.empty()) EXPECT_EQ(ecu->asked, c.asked);
}

INSTANTIATE_TEST_SUITE_P(
    Synonyms, RequestLookupTest,
    ::testing::Values(
        RequestLookup{"nameFirstAndNoDocumentOnAHit",
                      {"OutputControl", "ActuatorTest"},
                      "OutputControl",
                      "",
                      "OutputControl",
                      {"OutputControl"}},
        RequestLookup{"suffixOnEachSynonymInDocumentOrder",
                      {"ActuatorTest.Start.Fan"},
                      "OutputControl.Start.",
                      "Fan",
                      "ActuatorTest.Start.Fan",
                      {"OutputControl.Start.Fan", "Nope.Fan", "ActuatorTest.Start.Fan"}},
        RequestLookup{
            "firstKnownSynonymWins", {"Output.Control", "ActuatorTest"}, "OutputControl", "", "Output.Control", {}},
        RequestLookup{"suffixAloneForAnEmptySynonym", {"X"}, "Blank", "X", "X", {}}),
    [](const ::testing::TestParamInfo<RequestLookup>& info) { return std::string(info.param.what); });

TEST_F(LookupTest, shouldGiveNoneWithoutADocumentOrForAnApostrophe)
{
    known("ActuatorTest.Start.Fan");
    EXPECT_EQ(utils::FindRequestByName(language, ecu, "OutputControl.Start.", "Fan"), nullptr);
    EXPECT_EQ(ecu->asked.size(), 1u);
    loadSynonyms();
    EXPECT_EQ(utils::FindRequestByName(language, ecu, "Driver's lamp", ""), nullptr);
    EXPECT_EQ(utils::FindRequestByName(language, nullptr, "OutputControl", ""), nullptr);
}

TEST_F(LookupTest, shouldFindValuesByNameOrSynonymAndFailWithTheirNumbers)
{
    auto data = std::make_shared<NamedItem>("Command");
    EXPECT_EQ(valueError(data, "Start Temporary"), 1);  // not a list of named values
    data->list = std::make_shared<NamedEntries>();
    data->list->entries = {{"Short Term", 7}, {"Stop", 0}};
    EXPECT_EQ(utils::FindValueByName(language, data, "Stop"), 0);
    EXPECT_EQ(valueError(data, "Start Temporary"), 10000);  // no document: no synonyms
    loadSynonyms();
    EXPECT_EQ(utils::FindValueByName(language, data, "Start Temporary"), 7);
    EXPECT_EQ(valueError(data, "Start Permanent"), 10000);
}
