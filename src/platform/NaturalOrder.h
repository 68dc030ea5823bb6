// The order a person expects of names: numbers inside them compare by value
// ("Injector 2" before "Injector 10"), letters without regard to case.
#pragma once

#include <QString>

namespace TavrinPlatform {

int naturalCompare(const QString& a, const QString& b);

}  // namespace TavrinPlatform
