// What the translation of the controls leaves out: the names and descriptions
// a screen reader reads for the widgets whose caption says nothing (lists, the
// picture buttons, the run log), and the texts that have no translation key of
// their own (the status list's headings). They come from the language file's
// branch of each control, "accessibleName" and "accessibleDescription" (and
// "lvStatus/NAME/text", "lvStatus/VALUE/text"), with English defaults.
#pragma once

#include "Form.h"
#include "MultiLanguage.h"

namespace TavrinIoCtl {

void translateAssistiveTexts(const multilanguage::Language& language, const Form& form);

}  // namespace TavrinIoCtl
