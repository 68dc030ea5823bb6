#include "ControlErrors.h"
#include "ControlFixture.h"
#include "ioctl_p.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QScrollBar>

using namespace TavrinIoCtl;

TEST_F(ControlFixture, shouldTranslateEveryCaptionToolTipAndHeading)
{
    initialise("fr");
    EXPECT_EQ(frames().FrFunctions->title(), "Liste des fonctions");
    EXPECT_EQ(sequencerWidgets().cbStartTempo->text(), "Démarrer tempo");
    EXPECT_EQ(sequencerWidgets().OptionPerm[1]->text(), "Surveiller l'état");
    EXPECT_EQ(sequencerWidgets().CbStop->toolTip(), "Arrêter le pilotage (F7)");
    EXPECT_EQ(catalogueWidgets().lvData->headerItem()->text(1), "Valeur");
    EXPECT_EQ(catalogueWidgets().lvDevices->headerItem()->text(1), "Id");  // no key, not translated
    EXPECT_EQ(catalogueWidgets().lvStatus->headerItem()->text(0), "Nom");  // no column key: from its own entry
    control->initParameters(dataDir(), "de");
    EXPECT_EQ(sequencerWidgets().ckReadData->text(), "Daten während der Ansteuerung überwachen");
}

TEST_F(ControlFixture, shouldApplyTheRulesOfOptionsAndListColumns)
{
    control->initParameters(fixtureDir() + "/languages", "en", session);
    EXPECT_EQ(catalogueWidgets().lvFunctions->headerItem()->text(0), "Function (en)");
    EXPECT_EQ(sequencerWidgets().OptionPerm[1]->text(), "Watch status");  // item1, never the array's own caption
    EXPECT_EQ(sequencerWidgets().OptionPerm[0]->text(), "None");
    EXPECT_TRUE(sequencerWidgets().OptionPerm[1]->isChecked());   // value "1" exactly
    EXPECT_FALSE(sequencerWidgets().OptionPerm[2]->isChecked());  // " 1" is not "1"
    EXPECT_EQ(sequencerWidgets().cbStartTempo->text(), "Go");
    EXPECT_EQ(sequencerWidgets().cbStartTempo->font().family(), "DejaVu Sans");
}

TEST_F(ControlFixture, shouldStopTranslatingAtAFontSizeThatIsNoNumber)
{
    try {
        control->initParameters(fixtureDir() + "/badfont", "en", session);
        FAIL() << "initParameters must fail";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(ControlError::NotANumber));
    }
    EXPECT_EQ(frames().FrFunctions->title(), "Functions first");
    EXPECT_EQ(sequencerWidgets().cbReadData->text(), "Read now");
    EXPECT_EQ(sequencerWidgets().cbReadData->toolTip(), "tip");
    EXPECT_EQ(sequencerWidgets().cbStartTempo->text(), "Start tempo");  // after the refusal: untouched
    EXPECT_EQ(panelText("VERSION"), "V1.0.0.0");
    EXPECT_EQ(control->Session(), nullptr);
}

namespace {

double twipsWidth(const QWidget* w)
{
    return w->width() * 15.0;
}

}  // namespace

TEST_F(ControlFixture, shouldShareTheWidthThreeThreeFourAndHalfHalf)
{
    control->resize(1000, 680);
    EXPECT_EQ(frames().FrFunctions->width(), 300);
    EXPECT_EQ(frames().FrDevices->x(), 300);
    EXPECT_EQ(frames().FrParameters->width(), 400);
    EXPECT_EQ(frames().FrData->width(), 500);
    EXPECT_EQ(frames().FrComm->x(), 500);
    const double share =
        catalogueWidgets().lvFunctions->columnWidth(0) / (twipsWidth(catalogueWidgets().lvFunctions) / 15 - 6);
    const int deviceColumns =
        catalogueWidgets().lvDevices->columnWidth(1) + catalogueWidgets().lvDevices->columnWidth(2);

    control->resize(2000, 680);
    EXPECT_EQ(frames().FrFunctions->width(), 600);
    EXPECT_EQ(frames().FrParameters->x(), 1200);
    EXPECT_EQ(frames().FrData->width(), 1000);
    const double widened =
        catalogueWidgets().lvFunctions->columnWidth(0) / (twipsWidth(catalogueWidgets().lvFunctions) / 15 - 6);
    EXPECT_NEAR(widened, share, 0.01);
    EXPECT_EQ(catalogueWidgets().lvFunctions->columnWidth(1),
              catalogueWidgets().lvFunctions->width() - catalogueWidgets().lvFunctions->columnWidth(0) - 6);
    EXPECT_EQ(catalogueWidgets().lvDevices->columnWidth(1) + catalogueWidgets().lvDevices->columnWidth(2),
              deviceColumns);

    // Narrower than its fixed columns, the device list scrolls over all of them at
    // once, before any event is handled.
    control->resize(400, 680);
    const auto* devices = catalogueWidgets().lvDevices;
    int columns = 0;
    for (int c = 0; c < devices->columnCount(); ++c)
        columns += devices->columnWidth(c);
    EXPECT_EQ(devices->horizontalScrollBar()->maximum(), columns - devices->viewport()->width());
}

TEST_F(ControlFixture, shouldGiveTheStatusListItsMinimumOnALowControl)
{
    control->resize(1000, 300);
    EXPECT_EQ(catalogueWidgets().lvStatus->height(), 100);  // 1500 twips
    EXPECT_EQ(reportingWidgets().runLog->y(), catalogueWidgets().lvStatus->y() + 100 + 4);
    control->resize(3, 3);  // never fails, never goes negative
    EXPECT_GE(reportingWidgets().runLog->height(), 0);
    EXPECT_GE(catalogueWidgets().lvFunctions->columnWidth(0), 0);
    control->resize(1000, 680);
    EXPECT_GT(catalogueWidgets().lvFunctions->columnWidth(1), 0);
}

TEST_F(ControlFixture, shouldPushTheCommunicationFrameBelowATallerSessionFrame)
{
    control->resize(1000, 680);
    const int top = frames().FrComm->y();
    const int height = frames().FrComm->height();
    frames().FrSession->resize(frames().FrSession->width(), frames().FrSession->height() + 30);
    TavrinIoCtl::Events(*control).UserControl_Resize();
    EXPECT_EQ(frames().FrComm->y(), top + 30);
    EXPECT_EQ(frames().FrComm->height(), height - 30);
}

// Every translated caption of a button, the check box and the options is shown
// whole at the design size and larger; on a window too small, it is in the tool tip.
class CaptionFit : public ControlFixture, public ::testing::WithParamInterface<const char*> {
  protected:
    QStringList cutCaptions(bool allowTip) const
    {
        QStringList cut;
        const auto& drive = sequencerWidgets();
        for (QAbstractButton* button :
             {static_cast<QAbstractButton*>(drive.cbReadData), static_cast<QAbstractButton*>(drive.ckReadData),
              static_cast<QAbstractButton*>(drive.cbStartTempo), static_cast<QAbstractButton*>(drive.cbStartPerm),
              static_cast<QAbstractButton*>(drive.OptionPerm[0]), static_cast<QAbstractButton*>(drive.OptionPerm[1]),
              static_cast<QAbstractButton*>(drive.OptionPerm[2])}) {
            const bool whole = button->width() >= button->sizeHint().width();
            if (!whole && !(allowTip && button->toolTip().contains(button->text()))) cut << button->text();
        }
        return cut;
    }
};

TEST_P(CaptionFit, shouldShowWholeCaptionsOrTellThemInTheToolTip)
{
    initialise(GetParam());
    for (QSize size : {QSize(1000, 680), QSize(1900, 1050)}) {
        control->resize(size);
        EXPECT_EQ(cutCaptions(false), QStringList()) << size.width();
    }
    control->resize(640, 480);
    EXPECT_EQ(cutCaptions(true), QStringList());
    control->resize(1000, 680);
    EXPECT_EQ(cutCaptions(false), QStringList());
    EXPECT_FALSE(sequencerWidgets().OptionPerm[1]->toolTip().startsWith(sequencerWidgets().OptionPerm[1]->text() +
                                                                        "\n"));  // own tip again
}

INSTANTIATE_TEST_SUITE_P(Languages, CaptionFit, ::testing::Values("en", "fr", "de"));
