// What the translation of the controls leaves out: the names and descriptions
// a screen reader reads for the widgets whose caption says nothing (lists, the
// picture buttons, the run log), and the texts that have no translation key of
// their own (the status list's headings). They come from the language file's
// branch of each control, "accessibleName" and "accessibleDescription" (and
// "lvStatus/NAME/text", "lvStatus/VALUE/text"), with English defaults.
#pragma once

#include "MultiLanguage.h"

#include <QList>
#include <QObject>

namespace TavrinIoCtl {

// Names the widgets of the list found by their object names; others are left alone.
void translateAssistiveTexts(const multilanguage::Language& language, const QList<QObject*>& controls);

}  // namespace TavrinIoCtl
