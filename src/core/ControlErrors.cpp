#include "ControlErrors.h"

namespace TavrinIoCtl {

const char* meaning(ControlError error)
{
    switch (error) {
    case ControlError::LanguageFile: return "Unable to read language file";  // also BadDataType: one number
    case ControlError::ValueNotFound: return "Value not found";
    case ControlError::NoSuchObject: return "Object not set";
    case ControlError::DuplicateKey: return "Key is not unique";
    case ControlError::NotANumber: return "Not a number";
    case ControlError::PropertyRefused: return "Property refused";
    case ControlError::RequestNotFilled: return "Request not filled";
    case ControlError::CannotJudge: return "Status cannot be judged";
    case ControlError::StillDriven: return "Device may still be driven";
    case ControlError::StopIsStart: return "The stop command would start the device";
    case ControlError::SequenceRunning: return "a sequence is running: stop it first";
    case ControlError::Foreign: return "Unknown failure";
    }
    return "Error";
}

Sorvik3::Error controlError(ControlError error, const std::string& detail)
{
    return Sorvik3::Error(number(error),
                          detail.empty() ? std::string(meaning(error)) : std::string(meaning(error)) + ": " + detail);
}

}  // namespace TavrinIoCtl
