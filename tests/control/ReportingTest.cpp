#include "ControlFixture.h"
#include "StandaloneParts.h"
#include "ioctl_p.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// The reporting operations on a window of their own.
class ReportingTest : public ::testing::Test {
  protected:
    TavrinPlatform::StatusPanel* msg() const { return widgets.sbMain->panel("MSG"); }
    QStringList lines() const { return parts.logLines(); }

    StandaloneParts parts;
    const TavrinIoCtl::ReportingWidgets& widgets = parts.report.widgets();
    TavrinIoCtl::ControlFields& fields = parts.fields;
    TavrinIoCtl::Reporting& report = parts.report;
};

}  // namespace

TEST_F(ReportingTest, shouldWriteToTheStatusOnlyWhenAskedWithOne)
{
    report.LogMessage("abc", TavrinIoCtl::Show::LogOnly, 5);
    report.LogMessage("two", TavrinIoCtl::Show::LogOnly, 9);
    EXPECT_EQ(lines(), QStringList({"abc", "two"}));
    EXPECT_EQ(msg()->text(), "");
    EXPECT_FALSE(report.errorOfPanelClick("MSG"));

    report.LogMessage("failed", TavrinIoCtl::Show::InStatus, 7);
    EXPECT_EQ(msg()->text(), "failed");
    EXPECT_EQ(msg()->toolTip(), "Clic here for error details");
    EXPECT_EQ(report.errorOfPanelClick("MSG"), 7);
    EXPECT_FALSE(report.errorOfPanelClick("VERSION"));

    report.LogMessage("fine", TavrinIoCtl::Show::InStatus, 0);
    EXPECT_EQ(msg()->text(), "fine");
    EXPECT_EQ(msg()->toolTip(), "Clic here for error details");  // kept from before
    EXPECT_FALSE(report.errorOfPanelClick("MSG"));
}

TEST_F(ReportingTest, shouldClearToTheWelcomeText)
{
    report.LogMessage("failed", TavrinIoCtl::Show::InStatus, 7);
    report.ClearLog();
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(msg()->text(), "Welcome to Tavrin InputOutputControlByLocalIdentifier module");
    EXPECT_EQ(msg()->toolTip(), "");
    EXPECT_FALSE(report.errorOfPanelClick("MSG"));
}

TEST_F(ReportingTest, shouldLightTheLedRedWhileBusy)
{
    auto ledColour = [this] {
        const QImage led = widgets.sbMain->panel("Led")->pixmap().toImage();
        return led.pixelColor(4 + 6, 4 + 6);
    };
    report.SetBusy(true);
    EXPECT_TRUE(fields.Busy);
    EXPECT_GT(ledColour().red(), 2 * ledColour().green());
    report.SetBusy(false);
    EXPECT_FALSE(fields.Busy);
    EXPECT_GT(ledColour().green(), 2 * ledColour().red());
}

TEST_F(ReportingTest, shouldShowNewLinesInBatchesAndSelectTheNewest)
{
    for (int i = 0; i < 5; ++i)
        report.LogMessage(QString("line %1").arg(i));
    EXPECT_EQ(widgets.runLog->model()->rowCount(), 0);  // not yet told to the view
    widgets.runLog->flush();
    EXPECT_EQ(widgets.runLog->model()->rowCount(), 5);
    EXPECT_EQ(widgets.runLog->currentRow(), 4);
}

TEST_F(ControlFixture, shouldRaiseErrorMsgWhenTheErrorMessageIsClicked)
{
    QSignalSpy spy(control.get(), &TavrinIoCtl::ioctl::ErrorMsg);
    TavrinIoCtl::Events(*control).cbEstop_Click();  // no session: reported at the handler's boundary, not thrown
    EXPECT_EQ(runState().CurrentState, TavrinIoCtl::SequenceState::EStop);
    EXPECT_EQ(panelText("DIAG"), "E Stop");
    const int32_t number = reportingWidgets().sbMain->panel("MSG")->tag.toInt();
    EXPECT_NE(number, 0);
    QTest::mouseClick(reportingWidgets().sbMain->panel("MSG"), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.front().front().toInt(), number);
    QTest::mouseClick(reportingWidgets().sbMain->panel("VERSION"), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
}
