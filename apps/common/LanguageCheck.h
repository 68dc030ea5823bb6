// Tells a user who asks for a language the language file does not hold which
// language the control shows instead.
#pragma once

#include <QString>
#include <QStringList>

namespace TavrinApps {

// The language codes of installPath/lang/ioctl.xml in the order they first
// appear; empty when the file cannot be read.
QStringList languagesOfFile(const QString& installPath);

// A warning for an unknown code ("" when the code is known or the file has no languages).
QString unknownLanguageWarning(const QString& program, const QString& installPath, const QString& code);

}  // namespace TavrinApps
