#include "ControlFixture.h"
#include "MultiLanguage.h"
#include "StandaloneParts.h"

using namespace TavrinIoCtl;

namespace {

// The catalogue on a window of its own, so the panel's window can be sized exactly.
class ParameterPanelTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        panel.PFondPicture->resize(377, 225);  // 3375 twips high
    }

    Sorvik3::RequestRef startRequest(const QString& items)
    {
        session = TavrinKwp::KwpSession::fromText(
            ("<vehicle><ecu id=\"1\" name=\"E\"><request name=\"Start\" service=\"0x30\">" + items +
             "</request></ecu></vehicle>")
                .toStdString());
        fields.Session = session;
        return session->Ecus().front()->Request("Start");
    }
    static QString numbered(int count)
    {
        QString items;
        for (int i = 0; i < count; ++i)
            items += QString("<data name=\"P%1\" position=\"%2\"/>").arg(i).arg(i + 1);
        return items;
    }
    QStringList captions() const
    {
        QStringList all;
        for (int i = 1; i < panel.DeviceParam.size(); ++i)
            all << panel.DeviceParam[i]->Caption();
        return all;
    }
    QStringList lines() const { return parts.logLines(); }

    StandaloneParts parts;
    const CatalogueWidgets& panel = parts.catalogue.widgets();
    ControlFields& fields = parts.fields;
    Reporting& report = parts.report;
    Catalogue& catalogue = parts.catalogue;
    std::shared_ptr<TavrinKwp::KwpSession> session;
};

const char* const kPumpFan = "<data name=\"Pump.Flow\" position=\"3\" unit=\"l/h\"/>"
                             "<data name=\"OutputControl.Duty\" position=\"4\" unit=\"\"/>"
                             "<data name=\"Mode\" position=\"5\"/>"
                             "<data name=\"OutputControlCommand\" position=\"2\"/>"
                             "<response><data name=\"Flow\" position=\"3\"/></response>";

}  // namespace

// Which items of one start request each device gets, and what the log says of them.
struct PanelCase {
    const char* device;
    QStringList captions;
    QStringList lines;
};

class ParameterChoice : public ParameterPanelTest, public ::testing::WithParamInterface<PanelCase> {};

TEST_P(ParameterChoice, shouldPreferTheDevicesOwnParametersThenThePlainOnes)
{
    const PanelCase& c = GetParam();
    catalogue.BuildParameterPanel(c.device, startRequest(kPumpFan));
    EXPECT_EQ(captions(), c.captions);
    EXPECT_EQ(lines(), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, ParameterChoice,
    ::testing::Values(
        PanelCase{
            "Pump", {"Pump.Flow (l/h) ", "Mode "}, {"Specific to device : Pump.Flow", "common to all device : Mode"}},
        // no parameter of its own: the common ones; an empty unit gets no parentheses
        PanelCase{"Fan",
                  {"OutputControl.Duty ", "Mode "},
                  {"common to device without specific parameter : OutputControl.Duty", "common to all device : Mode"}},
        // another letter case is another device
        PanelCase{"pump",
                  {"OutputControl.Duty ", "Mode "},
                  {"common to device without specific parameter : OutputControl.Duty", "common to all device : Mode"}}),
    [](const ::testing::TestParamInfo<PanelCase>& info) { return std::string(info.param.device); });

TEST_F(ParameterPanelTest, shouldAlignLabelsAndNameTheItemOfEachView)
{
    catalogue.BuildParameterPanel("Pump", startRequest(kPumpFan));
    // Labels aligned to the widest: 16 characters of 90 twips, plus 4 pixels.
    EXPECT_EQ(panel.DeviceParam[2]->LabelWidth(), 16 * 90 + 60);
    EXPECT_EQ(panel.DeviceParam[1]->EcuName(), "E");
    EXPECT_EQ(panel.DeviceParam[1]->RequestName(), "Start");
    EXPECT_EQ(panel.DeviceParam[1]->ViewMode(), 1);
    EXPECT_EQ(panel.DeviceParam[1]->Session(), session);
}

TEST_F(ParameterPanelTest, shouldHoldBackOnlyTheExactlyNamedListWhenItExists)
{
    parts.language.LoadLanguageFile(QStringLiteral(TAVRIN_DATA_DIR), "en");
    auto bySynonym =
        startRequest("<data name=\"ActuatorListShortTerm\" position=\"1\"/><data name=\"Level\" position=\"2\"/>");
    catalogue.BuildParameterPanel("Fan", bySynonym);
    EXPECT_EQ(captions(), QStringList({"Level "}));
    auto both = startRequest("<data name=\"OutputTemporaryControlList\" position=\"1\"/>"
                             "<data name=\"ActuatorListShortTerm\" position=\"2\"/>");
    catalogue.BuildParameterPanel("Fan", both);
    EXPECT_EQ(captions(), QStringList({"ActuatorListShortTerm "}));
}

TEST_F(ParameterPanelTest, shouldScrollOnlyWhenTheRowsDoNotFit)
{
    catalogue.BuildParameterPanel("X", startRequest(numbered(10)));
    EXPECT_EQ(panel.ParamVScroll->maximum(), 0);
    EXPECT_EQ(panel.ParamPicture->height(), 225);  // fills the window

    catalogue.BuildParameterPanel("X", startRequest(numbered(12)));
    EXPECT_EQ(panel.ParamVScroll->maximum(), 27);
    EXPECT_EQ(panel.ParamVScroll->pageStep(), 21);
    EXPECT_EQ(panel.DeviceParam[12]->y(), 11 * 21);
    panel.ParamVScroll->setValue(20);
    catalogue.ParamVScroll_Change(20);
    EXPECT_EQ(panel.ParamPicture->y(), -20);

    catalogue.BuildParameterPanel("X", startRequest(""));
    EXPECT_EQ(panel.DeviceParam.size(), 1);
    EXPECT_EQ(panel.ParamVScroll->maximum(), 0);
    EXPECT_EQ(panel.ParamPicture->height(), 225);
}

TEST_F(ParameterPanelTest, shouldKeepWorkingBeyondASixteenBitScrollRange)
{
    catalogue.BuildParameterPanel("X", startRequest(numbered(250)));
    EXPECT_EQ(panel.DeviceParam.size(), 251);
    EXPECT_EQ(panel.ParamVScroll->maximum(), 250 * 21 - 225);
    catalogue.ClearLists(Catalogue::ClearLevel::DeviceDetails);
    EXPECT_EQ(panel.DeviceParam.size(), 1);
    EXPECT_FALSE(panel.DeviceParam[0]->isVisible());
}
