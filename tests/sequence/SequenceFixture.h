// Runs the drive sequence tick by tick on the manual clock: no sleeping.
#pragma once

#include "ControlFixture.h"

class SequenceFixture : public ControlFixture {
  protected:
    // One tick, if the sequence timer is armed; the clock moves by stepMs first.
    bool tick(uint32_t stepMs = 100);
    // Ticks while the sequence runs, moving the clock by stepMs each time.
    void runFor(uint32_t ms, uint32_t stepMs = 100);
    void runUntilIdle(int maxTicks = 1000, uint32_t stepMs = 100);
    void start(const QString& ecu, const QString& device, int option, bool permanent = false);
    QString msgText() const { return reportingWidgets().sbMain->panel("MSG")->text(); }
    int32_t msgTag() const { return reportingWidgets().sbMain->panel("MSG")->tag.toInt(); }
};
