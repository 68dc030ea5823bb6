#include "DemoTranslators.h"

#include <QCoreApplication>
#include <QLibraryInfo>

bool DemoTranslators::use(const QString& language)
{
    QCoreApplication::removeTranslator(&own_);
    QCoreApplication::removeTranslator(&qt_);
    if (language == QLatin1String("en")) return true;
    const bool own = own_.load(QStringLiteral(":/i18n/tavrin-demo_") + language);
    if (own) QCoreApplication::installTranslator(&own_);
    // Qt's own may be missing on a machine without its translations: its dialogs then stay English.
    if (qt_.load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt_);
    return own;
}
