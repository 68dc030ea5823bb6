// For the tests, the scenario runner and the tools, which link the control
// statically: its window, shared fields, the catalogue's selection and the run
// state as they stand (read only), and the screen's measures and the user's
// locale pinned so that printed figures are the same everywhere.
// Not installed: hosts use ioctl.h alone.
#pragma once

#include "ControlFields.h"
#include "DeviceSelectionState.h"
#include "Form.h"
#include "RunState.h"
#include "Twips.h"
#include "ioctl.h"

#include <QLocale>

namespace TavrinIoCtl {

class Automation {
  public:
    static const Form& form(const ioctl& control);
    static const ControlFields& fields(const ioctl& control);
    static const DeviceSelection& selection(const ioctl& control);
    static const RunState& runState(const ioctl& control);
    // Whether a request of the control is on the line (or a step waits for one).
    static bool requestInFlight(const ioctl& control);
    static void setTwipsScale(ioctl& control, TavrinPlatform::TwipsScale scale);
    static void setTextMeasure(ioctl& control, TavrinPlatform::TextMeasure measure);
    static void setUserLocale(ioctl& control, const QLocale& locale);
};

inline const Form& formOf(const ioctl& control)
{
    return Automation::form(control);
}

inline const ControlFields& fieldsOf(const ioctl& control)
{
    return Automation::fields(control);
}

inline const DeviceSelection& selectionOf(const ioctl& control)
{
    return Automation::selection(control);
}

inline const RunState& runStateOf(const ioctl& control)
{
    return Automation::runState(control);
}

inline bool requestInFlight(const ioctl& control)
{
    return Automation::requestInFlight(control);
}

// The measures of a machine-independent run: 15 twips a pixel, every character
// charWidth pixels wide, the C locale.
inline void pinMeasures(ioctl& control, int charWidth)
{
    Automation::setTextMeasure(
        control, [charWidth](const QFont&, const QString& text) { return charWidth * static_cast<int>(text.size()); });
    Automation::setUserLocale(control, QLocale::c());
    Automation::setTwipsScale(control, TavrinPlatform::TwipsScale{15.0, 15.0});
}

}  // namespace TavrinIoCtl
