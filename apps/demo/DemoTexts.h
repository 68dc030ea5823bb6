// The demo host's own words in the languages of the control (en, fr, de), so
// its menus and dialogs speak the language the control was started in.
#pragma once

#include <QString>

// The text for an English key in the language given; the key itself for English
// and for a language or key it does not know.
QString demoText(const char* english, const QString& language);
