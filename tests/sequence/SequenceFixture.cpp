#include "SequenceFixture.h"
#include "Settle.h"
#include "ioctl_p.h"

bool SequenceFixture::tick(uint32_t stepMs)
{
    if (!sequencerWidgets().ioCtlTimer->isActive()) return false;
    clock.advance(stepMs);
    TavrinIoCtl::Events(*control).ioCtlTimer_Timer();
    settle(*control);
    return true;
}

void SequenceFixture::runFor(uint32_t ms, uint32_t stepMs)
{
    for (uint32_t elapsed = 0; elapsed < ms && tick(stepMs); elapsed += stepMs) {
    }
}

void SequenceFixture::runUntilIdle(int maxTicks, uint32_t stepMs)
{
    for (int i = 0; i < maxTicks && tick(stepMs); ++i) {
    }
    ASSERT_FALSE(sequencerWidgets().ioCtlTimer->isActive()) << "the sequence did not end";
}

void SequenceFixture::start(const QString& ecu, const QString& device, int option, bool permanent)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu(ecu));
    ASSERT_NO_FATAL_FAILURE(chooseDevice(device));
    sequencerWidgets().OptionPerm[option]->setChecked(true);
    if (permanent)
        TavrinIoCtl::Events(*control).cbStartPerm_Click();
    else
        TavrinIoCtl::Events(*control).cbStartTempo_Click();
}
