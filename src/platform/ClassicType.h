// The classic type name and array index a widget reports, so that translation
// rules are picked by type ("CommandButton", "OptionButton", ...) and members of
// a widget array (sharing one objectName) are told apart.
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace TavrinPlatform {

inline void setClassicType(QObject* control, const QString& type, int arrayIndex = -1)
{
    control->setProperty("ClassicType", type);
    if (arrayIndex >= 0) control->setProperty("Index", arrayIndex);
}

inline QString classicType(const QObject* control)
{
    return control->property("ClassicType").toString();
}

// -1 for a widget that is no member of an array.
inline int arrayIndex(const QObject* control)
{
    const QVariant index = control->property("Index");
    return index.isValid() ? index.toInt() : -1;
}

}  // namespace TavrinPlatform
