// The control's error numbers, in one table (docs/control-behaviour.md): its
// own from 0x2000, and the ones the host interface fixes (1, 10000). The KWP2000
// response codes (1 to 255) are the ECU's and the session library's numbers
// from 0x1000 its own; no number is 0, which means "no error" to the status bar.
#pragma once

#include "Sorvik3.h"

#include <cstdint>
#include <string>

namespace TavrinIoCtl {

enum class ControlError : int32_t {
    LanguageFile = 1,           // the language file cannot be read
    BadDataType = 1,            // a data item without named values where a name is looked up
    ValueNotFound = 10000,      // a named value the item does not have
    NoSuchObject = 0x2002,      // a session object the step needs is none
    DuplicateKey = 0x2003,      // two ECUs of the session share an Id
    NotANumber = 0x2004,        // a FontSize of the language file is no number
    PropertyRefused = 0x2005,   // a widget cannot take a translated property
    RequestNotFilled = 0x2101,  // a shared request could not be made to name this device: not sent
    CannotJudge = 0x2102,       // the answer cannot tell whether the device runs
    StillDriven = 0x2103,       // the stop failed: the device may still be driven
    StopIsStart = 0x2104,       // the stop command is the command that starts the device: not sent
    SequenceRunning = 0x2105,   // a host call that would change the session or the language during a run
    Foreign = 0x7FFF0000,       // a failure that is not the session library's own
};

constexpr int32_t number(ControlError error)
{
    return static_cast<int32_t>(error);
}

// What the number means, in a few words.
const char* meaning(ControlError error);

// The error to throw: the number and the meaning, with the detail after it.
Sorvik3::Error controlError(ControlError error, const std::string& detail = {});

}  // namespace TavrinIoCtl
