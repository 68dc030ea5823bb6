#include "ControlErrors.h"
#include "ControlFixture.h"
#include "ioctl_p.h"

#include <QAbstractButton>
#include <QGroupBox>

using namespace TavrinIoCtl;

TEST_F(ControlFixture, shouldTranslateEveryCaptionToolTipAndHeading)
{
    initialise("fr");
    EXPECT_EQ(form().FrFunctions->title(), "Liste des fonctions");
    EXPECT_EQ(form().cbStartTempo->text(), "Démarrer tempo");
    EXPECT_EQ(form().OptionPerm[1]->text(), "Surveiller l'état");
    EXPECT_EQ(form().CbStop->toolTip(), "Arrêter le pilotage (F7)");
    EXPECT_EQ(form().lvData->headerItem()->text(1), "Valeur");
    EXPECT_EQ(form().lvDevices->headerItem()->text(1), "Id");  // no key, not translated
    EXPECT_EQ(form().lvStatus->headerItem()->text(0), "Nom");  // no column key: from its own entry
    control->initParameters(dataDir(), "de");
    EXPECT_EQ(form().ckReadData->text(), "Daten während der Ansteuerung überwachen");
}

TEST_F(ControlFixture, shouldApplyTheRulesOfOptionsAndListColumns)
{
    control->initParameters(fixtureDir() + "/languages", "en", session);
    EXPECT_EQ(form().lvFunctions->headerItem()->text(0), "Function (en)");
    EXPECT_EQ(form().OptionPerm[1]->text(), "Watch status");  // item1, never the array's own caption
    EXPECT_EQ(form().OptionPerm[0]->text(), "None");
    EXPECT_TRUE(form().OptionPerm[1]->isChecked());   // value "1" exactly
    EXPECT_FALSE(form().OptionPerm[2]->isChecked());  // " 1" is not "1"
    EXPECT_EQ(form().cbStartTempo->text(), "Go");
    EXPECT_EQ(form().cbStartTempo->font().family(), "DejaVu Sans");
}

TEST_F(ControlFixture, shouldStopTranslatingAtAFontSizeThatIsNoNumber)
{
    try {
        control->initParameters(fixtureDir() + "/badfont", "en", session);
        FAIL() << "initParameters must fail";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(ControlError::NotANumber));
    }
    EXPECT_EQ(form().FrFunctions->title(), "Functions first");
    EXPECT_EQ(form().cbReadData->text(), "Read now");
    EXPECT_EQ(form().cbReadData->toolTip(), "tip");
    EXPECT_EQ(form().cbStartTempo->text(), "Start tempo");  // after the refusal: untouched
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
    EXPECT_EQ(form().FrFunctions->width(), 300);
    EXPECT_EQ(form().FrDevices->x(), 300);
    EXPECT_EQ(form().FrParameters->width(), 400);
    EXPECT_EQ(form().FrData->width(), 500);
    EXPECT_EQ(form().FrComm->x(), 500);
    const double share = form().lvFunctions->columnWidth(0) / (twipsWidth(form().lvFunctions) / 15 - 6);
    const int deviceColumns = form().lvDevices->columnWidth(1) + form().lvDevices->columnWidth(2);

    control->resize(2000, 680);
    EXPECT_EQ(form().FrFunctions->width(), 600);
    EXPECT_EQ(form().FrParameters->x(), 1200);
    EXPECT_EQ(form().FrData->width(), 1000);
    const double widened = form().lvFunctions->columnWidth(0) / (twipsWidth(form().lvFunctions) / 15 - 6);
    EXPECT_NEAR(widened, share, 0.01);
    EXPECT_EQ(form().lvFunctions->columnWidth(1), form().lvFunctions->width() - form().lvFunctions->columnWidth(0) - 6);
    EXPECT_EQ(form().lvDevices->columnWidth(1) + form().lvDevices->columnWidth(2), deviceColumns);
}

TEST_F(ControlFixture, shouldGiveTheStatusListItsMinimumOnALowControl)
{
    control->resize(1000, 300);
    EXPECT_EQ(form().lvStatus->height(), 100);  // 1500 twips
    EXPECT_EQ(form().runLog->y(), form().lvStatus->y() + 100 + 4);
    control->resize(3, 3);  // never fails, never goes negative
    EXPECT_GE(form().runLog->height(), 0);
    EXPECT_GE(form().lvFunctions->columnWidth(0), 0);
    control->resize(1000, 680);
    EXPECT_GT(form().lvFunctions->columnWidth(1), 0);
}

TEST_F(ControlFixture, shouldPushTheCommunicationFrameBelowATallerSessionFrame)
{
    control->resize(1000, 680);
    const int top = form().FrComm->y();
    const int height = form().FrComm->height();
    form().FrSession->resize(form().FrSession->width(), form().FrSession->height() + 30);
    TavrinIoCtl::Events(*control).UserControl_Resize();
    EXPECT_EQ(form().FrComm->y(), top + 30);
    EXPECT_EQ(form().FrComm->height(), height - 30);
}

// Every translated caption of a button, the check box and the options is shown
// whole at the design size and larger; on a window too small, it is in the tool tip.
class CaptionFit : public ControlFixture, public ::testing::WithParamInterface<const char*> {
  protected:
    QStringList cutCaptions(bool allowTip) const
    {
        QStringList cut;
        const auto& f = form();
        for (QAbstractButton* button :
             {static_cast<QAbstractButton*>(f.cbReadData), static_cast<QAbstractButton*>(f.ckReadData),
              static_cast<QAbstractButton*>(f.cbStartTempo), static_cast<QAbstractButton*>(f.cbStartPerm),
              static_cast<QAbstractButton*>(f.OptionPerm[0]), static_cast<QAbstractButton*>(f.OptionPerm[1]),
              static_cast<QAbstractButton*>(f.OptionPerm[2])}) {
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
    EXPECT_FALSE(form().OptionPerm[1]->toolTip().startsWith(form().OptionPerm[1]->text() + "\n"));  // own tip again
}

INSTANTIATE_TEST_SUITE_P(Languages, CaptionFit, ::testing::Values("en", "fr", "de"));
