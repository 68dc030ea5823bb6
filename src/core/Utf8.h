// Texts cross from the session library (UTF-8 std::string) to the widgets (QString) here.
#pragma once

#include <QString>

#include <string>

namespace TavrinIoCtl {

inline QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

}  // namespace TavrinIoCtl
