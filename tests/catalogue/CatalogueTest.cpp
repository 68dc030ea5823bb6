#include "ControlFixture.h"
#include "ioctl_p.h"

#include <QSignalSpy>
#include <QStyle>

namespace {

// A small vehicle for the list rules: Lamp / Pump / Valve, odd numbers, a
// device list that is no list, an ECU with only a permanent list.
const char* const kWorkshop = R"(<vehicle>
  <ecu id="7" name="Lights" description="Lights module">
    <request name="OutputControl" service="0x30" bytes="30 00 00">
      <data name="OutputTemporaryControlList" position="1" size="2" signed="true">
        <value name="Lamp" number="1"/><value name="Pump" number="2"/><value name="Big" number="12345"/><value name="Minus" number="-1"/>
      </data>
      <data name="OutputPermanentControlList" position="1"><value name="Pump" number="7"/><value name="Valve" number="3"/></data>
      <data name="OutputControlCommand" position="2">
        <value name="Start Temporary" number="7"/><value name="Start Permanent" number="8"/><value name="Stop" number="0"/>
      </data>
    </request>
    <request name="StartDiagnosticSession" service="0x10" bytes="10 81"/>
  </ecu>
  <ecu id="8" name="PermanentOnly"><request name="OutputControl" service="0x30">
    <data name="OutputPermanentControlList" position="1"><value name="Heater" number="1"/></data></request></ecu>
  <ecu id="9" name="BrokenList"><request name="OutputControl" service="0x30">
    <data name="OutputTemporaryControlList" position="1"/>
    <data name="OutputPermanentControlList" position="1"><value name="Heater" number="1"/></data></request></ecu>
  <ecu id="10" name="EmptyList"><request name="OutputControl" service="0x30">
    <data name="OutputPermanentControlList" position="2" list="true"/>
    <data name="OutputTemporaryControlList" position="1"><value name="Only" number="4"/></data></request></ecu>
</vehicle>)";

class CatalogueTest : public ControlFixture {
  protected:
    void useWorkshop()
    {
        session = TavrinKwp::KwpSession::fromText(kWorkshop);
        session->setClock(clock.clock());
        control->initParameters(dataDir(), "en", session);
    }
    QStringList visibleDriveWidgets() const
    {
        QStringList visible;
        const auto& drive = sequencerWidgets();
        for (QWidget* w : {static_cast<QWidget*>(drive.cbStartTempo), static_cast<QWidget*>(drive.cbStartPerm),
                           static_cast<QWidget*>(drive.CbStop), static_cast<QWidget*>(drive.cbEstop)}) {
            if (w->isVisibleTo(control.get())) visible << w->objectName();
        }
        for (int i = 0; i < 3; ++i) {
            if (drive.OptionPerm[i]->isVisibleTo(control.get())) visible << QString("OptionPerm%1").arg(i);
        }
        return visible;
    }
};

}  // namespace

TEST_F(CatalogueTest, shouldListOnlyEcusThatOfferUsableOutputControl)
{
    useWorkshop();
    EXPECT_EQ(rowTexts(catalogueWidgets().lvFunctions),
              QStringList({"Lights|Lights module", "PermanentOnly|", "EmptyList|"}));
    EXPECT_NE(catalogueWidgets().lvFunctions->findItem("8k"), nullptr);
}

TEST_F(CatalogueTest, shouldMergeBothControlListsIntoOneRowPerDevice)
{
    useWorkshop();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("Lights"));
    EXPECT_EQ(rowTexts(catalogueWidgets().lvDevices),
              QStringList({"Lamp|   1|X|", "Pump|   2|X|X", "Big|12345|X|", "Minus|  -1|X|", "Valve|   3||X"}));
    // A number longer than four characters is not only whole in the row: its column shows it whole.
    const auto* devices = catalogueWidgets().lvDevices;
    const int margin = devices->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, devices) + 1;
    EXPECT_EQ(devices->fontMetrics().elidedText("12345", Qt::ElideRight, devices->columnWidth(1) - 2 * margin),
              "12345");
    EXPECT_EQ(selection().StartTemporaryValue, 7);
    EXPECT_EQ(selection().StatusCommandValue, -1);  // the command list has no "Status"
    EXPECT_EQ(selection().StopCommandValue, 0);
    EXPECT_FALSE(
        catalogueWidgets().DiSessionName->isVisibleTo(control.get()));  // a session request without SessionName
    EXPECT_EQ(logLines(),
              QStringList({"ECU : 'Lights module' requests : ", "   Start : 'OutputControl'",
                           "   Stop : 'OutputControl'", "   Status : 'OutputControl'",
                           "   Start Diag Session : 'StartDiagnosticSession'", "   No Tester Present request"}));
}

TEST_F(CatalogueTest, shouldFillRowsKeptFromTheLastEcuWithNothingOfItsDevices)
{
    useWorkshop();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("Lights"));
    ASSERT_NO_FATAL_FAILURE(chooseEcu("PermanentOnly"));
    EXPECT_EQ(rowTexts(catalogueWidgets().lvDevices), QStringList({"Heater|   1||X"}));
    EXPECT_EQ(catalogueWidgets().lvDevices->findItem("Lampk"), nullptr);
    ASSERT_NO_FATAL_FAILURE(chooseEcu("Lights"));
    EXPECT_EQ(rowTexts(catalogueWidgets().lvDevices),
              QStringList({"Lamp|   1|X|", "Pump|   2|X|X", "Big|12345|X|", "Minus|  -1|X|", "Valve|   3||X"}));
    EXPECT_EQ(catalogueWidgets().lvDevices->findItem("Heaterk"), nullptr);
    EXPECT_FALSE(catalogueWidgets().lvDevices->findItem("Lampk")->tag.has_value());
}

TEST_F(CatalogueTest, shouldLeaveAListWithoutEntriesUnset)
{
    useWorkshop();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EmptyList"));
    EXPECT_EQ(rowTexts(catalogueWidgets().lvDevices), QStringList({"Only|   4|X|"}));
    EXPECT_NE(selection().TemporaryListData, nullptr);
    EXPECT_EQ(selection().PermanentListData, nullptr);
}

TEST_F(CatalogueTest, shouldResolveTheEngineRequestsAndPrepareTheSessionChoice)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    EXPECT_EQ(logLines(), QStringList({"ECU : 'Engine control unit (diesel)' requests : ", "   Start : 'OutputControl'",
                                       "   Stop : 'OutputControl.Stop'", "   Status : 'OutputControl.Status'",
                                       "   Start Diag Session : 'StartDiagnosticSession'",
                                       "   Tester Present Request : 'TesterPresent.WithResponse'"}));
    const auto* sessionName = catalogueWidgets().DiSessionName;
    EXPECT_TRUE(sessionName->isVisibleTo(control.get()));
    EXPECT_EQ(sessionName->Caption(), "Session");
    EXPECT_EQ(sessionName->LabelWidth(), 4 * 15 + 7 * kCharWidthPixels * 15);
    EXPECT_EQ(sessionName->valueText(), "Adjustment");
}

// Two controls on one thread: the one that loaded German keeps it after another loads French.
TEST_F(CatalogueTest, shouldKeepEachControlInTheLanguageItLoaded)
{
    initialise("de");
    TavrinIoCtl::ioctl other;
    other.initParameters(dataDir(), "fr", session);
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    EXPECT_EQ(catalogueWidgets().DiSessionName->Caption(), "Sitzung");
}

TEST_F(CatalogueTest, shouldMakeTheClimateEcuUsableThroughSynonyms)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("ClimateControl"));
    EXPECT_EQ(logLines().mid(1, 3), QStringList({"   Start : 'ActuatorTest'", "   Stop : 'ActuatorTest.End'",
                                                 "   Status : 'ActuatorTest.Query'"}));
    EXPECT_EQ(selection().StartTemporaryValue, 7);
    EXPECT_EQ(selection().RunningValue, 1);
    EXPECT_EQ(catalogueWidgets().lvDevices->rowCount(), 4);
}

TEST_F(CatalogueTest, shouldFillEveryDeviceViewOnADeviceClick)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("FuelPump"));
    EXPECT_EQ(selection().SelectedDeviceName, "FuelPump");
    EXPECT_EQ(rowTexts(catalogueWidgets().lvData), QStringList({"FuelPressure|", "FuelPumpCurrent|"}));
    ASSERT_NE(selection().DeviceReadList, nullptr);
    EXPECT_EQ(selection().DeviceReadList->Count(), 2);
    EXPECT_EQ(rowTexts(catalogueWidgets().lvStatus),
              QStringList({"OutputControlStatus|", "FuelPressure|", "FuelPumpCurrent|"}));  // no ExtraBytes
    EXPECT_EQ(logLines(),
              QStringList({"Device : 'FuelPump' requests : ", "   Start : 'OutputControl.Start.FuelPump'",
                           "   Stop : 'OutputControl.Stop.FuelPump'", "   Status : 'OutputControl.Status.FuelPump'",
                           "Specific to device : FuelPump.Pressure", "common to all device : Mode"}));
    EXPECT_EQ(panelText("MSG"), "Welcome to Tavrin InputOutputControlByLocalIdentifier module");
}

TEST_F(CatalogueTest, shouldFallBackToTheEcuRequestsWhereTheDeviceHasNone)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("CoolingFan"));
    EXPECT_EQ(logLines().mid(0, 4),
              QStringList({"Device : 'CoolingFan' requests : ", "   Start : 'OutputControl.Start.CoolingFan'",
                           "   Stop : 'OutputControl.Stop'", "   Status : 'OutputControl.Status'"}));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("Injector 2"));
    EXPECT_TRUE(rowTexts(catalogueWidgets().lvData).isEmpty());
    EXPECT_EQ(selection().DeviceReadList, nullptr);
}

TEST_F(CatalogueTest, shouldOnlyClearTheLogOnAClickBesideTheRows)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("FuelPump"));
    const auto data = rowTexts(catalogueWidgets().lvData);
    catalogueWidgets().lvDevices->clearSelection();
    TavrinIoCtl::Events(*control).lvDevices_Click();
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_EQ(selection().SelectedDeviceName, "FuelPump");
    EXPECT_EQ(rowTexts(catalogueWidgets().lvData), data);
    EXPECT_NE(selection().DeviceReadList, nullptr);
}

TEST_F(CatalogueTest, shouldSortDeviceNamesAsAPersonReadsThem)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    TavrinIoCtl::Events(*control).lvDevices_ColumnClick(0);
    QStringList names;
    for (int i = 0; i < catalogueWidgets().lvDevices->rowCount(); ++i)
        names << catalogueWidgets().lvDevices->row(i)->text(0);
    EXPECT_EQ(names, QStringList({"CoolingFan", "EGRValve", "FuelPump", "GlowPlugRelay", "Injector 1", "Injector 2",
                                  "Injector 3", "Injector 10", "ThrottleActuator"}));
    TavrinIoCtl::Events(*control).lvDevices_ColumnClick(0);
    EXPECT_EQ(catalogueWidgets().lvDevices->row(0)->text(0), "ThrottleActuator");
    TavrinIoCtl::Events(*control).lvDevices_ColumnClick(1);
    EXPECT_EQ(catalogueWidgets().lvDevices->sortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(catalogueWidgets().lvDevices->row(0)->text(0), "FuelPump");
    chooseEcu("EngineControl");  // rows filled later keep the list's order, Ids set after the row included
    names.clear();
    for (int i = 0; i < catalogueWidgets().lvDevices->rowCount(); ++i)
        names << catalogueWidgets().lvDevices->row(i)->text(0);
    EXPECT_EQ(names, QStringList({"FuelPump", "CoolingFan", "EGRValve", "ThrottleActuator", "Injector 1", "Injector 2",
                                  "Injector 3", "Injector 10", "GlowPlugRelay"}));
    TavrinIoCtl::Events(*control).lvDevices_ColumnClick(0);
    TavrinIoCtl::Events(*control).lvDevices_ColumnClick(0);  // by name, descending
    chooseEcu("EngineControl");
    names.clear();
    for (int i = 0; i < catalogueWidgets().lvDevices->rowCount(); ++i)
        names << catalogueWidgets().lvDevices->row(i)->text(0);
    EXPECT_EQ(names, QStringList({"ThrottleActuator", "Injector 10", "Injector 3", "Injector 2", "Injector 1",
                                  "GlowPlugRelay", "FuelPump", "EGRValve", "CoolingFan"}));
}

TEST_F(CatalogueTest, shouldShowTheDriveButtonsTheDeviceAllows)
{
    initialise();
    EXPECT_TRUE(visibleDriveWidgets().isEmpty());
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("FuelPump"));
    EXPECT_EQ(visibleDriveWidgets(),
              QStringList({"cbStartTempo", "cbStartPerm", "OptionPerm0", "OptionPerm1", "OptionPerm2"}));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("CoolingFan"));
    EXPECT_EQ(visibleDriveWidgets(), QStringList({"cbStartTempo", "OptionPerm0", "OptionPerm1", "OptionPerm2"}));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("EGRValve"));
    EXPECT_EQ(visibleDriveWidgets(), QStringList({"cbStartPerm", "OptionPerm0", "OptionPerm1", "OptionPerm2"}));

    useWorkshop();  // no tester present: option 2 stays hidden
    ASSERT_NO_FATAL_FAILURE(chooseEcu("Lights"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("Valve"));
    EXPECT_EQ(visibleDriveWidgets(), QStringList({"cbStartPerm", "OptionPerm0", "OptionPerm1"}));
}

namespace {

// Every call fails.
struct FailingSession final : Sorvik3::Session {
    std::vector<Sorvik3::EcuRef> Ecus() override { throw Sorvik3::Error(0x1001, "bus down"); }
    bool CommunicationStopped() override { throw Sorvik3::Error(0x1001, "bus down"); }
    void StopCommunication() override { throw Sorvik3::Error(0x1001, "bus down"); }
    Sorvik3::ReadListRef CreateReadList() override { throw Sorvik3::Error(0x1001, "bus down"); }
};

}  // namespace

TEST_F(CatalogueTest, shouldPassASessionFailureToTheHostAndCarryOn)
{
    EXPECT_THROW(control->initParameters(dataDir(), "en", std::make_shared<FailingSession>()), Sorvik3::Error);
    EXPECT_TRUE(catalogueWidgets().lvFunctions->updatesEnabled());
    TavrinIoCtl::Events(*control).lvDevices_Click();
    TavrinIoCtl::Events(*control).cbEstop_Click();
    TavrinIoCtl::Events(*control).cbReadData_Click();
    EXPECT_EQ(reportingWidgets().sbMain->panel("MSG")->tag.toInt(), 0x1001);
}
