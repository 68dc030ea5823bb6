// The state of the drive sequence. The sequencer owns it and alone changes it;
// the control and the tools read it.
#pragma once

#include "SequenceState.h"

#include <cstdint>

namespace TavrinIoCtl {

struct RunState {
    SequenceState CurrentState = SequenceState::Idle;
    uint32_t SequenceStartTime = 0;
    uint32_t LastTesterPresentTime = 0;
    bool StopRequested = false;
    bool EmergencyStopRequested = false;
    bool MonitorStatusSelected = false;
    bool TesterPresentSelected = false;
    DriveModeValue DriveMode = DriveModeValue::Temporary;
    // The running indicator's picture.
    int32_t AnimationFrame = 1;
};

}  // namespace TavrinIoCtl
