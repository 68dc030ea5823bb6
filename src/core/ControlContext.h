// What every part works with: the fields, the reporting, the clock and the
// screen's measures. The control owns all of it and hands it out; each part
// owns its own widgets.
#pragma once

#include "Clock.h"
#include "ControlFields.h"
#include "Reporting.h"
#include "SecondsText.h"
#include "Twips.h"

namespace TavrinIoCtl {

struct Platform {
    TavrinPlatform::ClockFunction clock = TavrinPlatform::systemMilliseconds;
    TavrinPlatform::TwipsScale scale;
    TavrinPlatform::TextMeasure measure = TavrinPlatform::measureWithFontMetrics;
    QFont font;                           // the control's font, for text measured in twips
    TavrinPlatform::SecondsText seconds;  // logged times, with the user's decimal separator

    double textWidthTwips(const QString& text) const { return measure(font, text) * scale.perPixelX; }
};

struct ControlContext {
    ControlFields& fields;
    Reporting& report;
    Platform& platform;
};

}  // namespace TavrinIoCtl
