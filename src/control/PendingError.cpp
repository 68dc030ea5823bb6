#include "PendingError.h"

namespace TavrinIoCtl {

Failure failureOf(const std::exception& error)
{
    if (auto* sorvik = dynamic_cast<const Sorvik3::Error*>(&error)) {
        return Failure{sorvik->number(), QString::fromStdString(sorvik->description())};
    }
    return Failure{kInternalErrorNumber, QString::fromLocal8Bit(error.what())};
}

}  // namespace TavrinIoCtl
