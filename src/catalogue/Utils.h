// Module utils: requests, data items and named values looked up by name, then
// by each synonym that the language file lists for that name, in document order.
#pragma once

#include "ControlErrors.h"
#include "MultiLanguage.h"
#include "Sorvik3.h"

#include <QString>

namespace TavrinIoCtl::utils {

// The synonyms are the language file's that the control loaded.
// None when neither the name nor a synonym (each followed by suffix) is known. Never throws.
Sorvik3::RequestRef FindRequestByName(const multilanguage::Language& language, const Sorvik3::EcuRef& ecu,
                                      const QString& name, const QString& suffix);
Sorvik3::DataRef FindDataByName(const multilanguage::Language& language, const Sorvik3::RequestRef& request,
                                const QString& name, const QString& suffix);
// Throws Sorvik3::Error(1, "Bad data type, Numeric list expected") for an item
// without named values and Sorvik3::Error(10000, "Value not found") on a miss.
int32_t FindValueByName(const multilanguage::Language& language, const Sorvik3::DataRef& data,
                        const QString& valueName);

constexpr int32_t kBadDataType = number(ControlError::BadDataType);
constexpr int32_t kValueNotFound = number(ControlError::ValueNotFound);

}  // namespace TavrinIoCtl::utils
