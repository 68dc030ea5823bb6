// For the tests, the scenario runner and the tools, which link the control
// statically: its window and fields as they stand, and the screen's measures
// and the user's locale pinned so that printed figures are the same everywhere.
// Not installed: hosts use ioctl.h alone.
#pragma once

#include "ControlFields.h"
#include "Form.h"
#include "Twips.h"
#include "ioctl.h"

#include <QLocale>

namespace TavrinIoCtl {

class Automation {
  public:
    static const Form& form(const ioctl& control);
    static const ControlFields& fields(const ioctl& control);
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
