// Gives every control of a window its texts in the language loaded, by rules
// chosen on the control's classic type name.
#pragma once

#include "MultiLanguage.h"

#include <QList>
#include <QObject>
#include <QString>

namespace TavrinIoCtl {

// Throws Sorvik3::Error when a control refuses a text outside the option-button
// and menu rules (a FontSize that is not a number); the walk ends there.
void TranslateControls(const multilanguage::Language& language, const QList<QObject*>& controls,
                       const QString& windowKey);

}  // namespace TavrinIoCtl
