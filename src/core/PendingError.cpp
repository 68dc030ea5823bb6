#include "PendingError.h"

#include "ControlErrors.h"

namespace TavrinIoCtl {

Failure failureOf(const std::exception& error)
{
    if (auto* sorvik = dynamic_cast<const Sorvik3::Error*>(&error)) {
        return Failure{sorvik->number(), QString::fromStdString(sorvik->description())};
    }
    return Failure{number(ControlError::Foreign), QString::fromLocal8Bit(error.what())};
}

Failure unknownFailure()
{
    return Failure{number(ControlError::Foreign), QString::fromLatin1(meaning(ControlError::Foreign))};
}

}  // namespace TavrinIoCtl
