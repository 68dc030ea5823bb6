// The control's fields, shared by its subsystems under their documented names.
// They live in a plain struct so that "Busy" and "Session" can also be members
// of the control's host interface.
#pragma once

#include "SequenceState.h"
#include "Sorvik3.h"

#include <QString>

#include <cstdint>

namespace TavrinIoCtl {

struct ControlFields {
    // Host interface and lifecycle.
    Sorvik3::SessionRef Session;
    QString InstallPath;
    bool Busy = false;
    bool AbortRequested = false;

    // The chosen ECU and what was resolved for it.
    Sorvik3::EcuRef SelectedEcu;
    Sorvik3::RequestRef OutputControlRequest;
    Sorvik3::RequestRef StopRequest;
    Sorvik3::RequestRef StatusRequest;
    Sorvik3::RequestRef StartSessionRequest;
    Sorvik3::RequestRef TesterPresentRequest;
    Sorvik3::DataRef TemporaryListData;
    Sorvik3::DataRef PermanentListData;
    Sorvik3::DataRef CommandData;
    Sorvik3::DataRef StatusData;
    int32_t StartTemporaryValue = -1;
    int32_t StartPermanentValue = -1;
    int32_t StatusCommandValue = -1;
    int32_t StopCommandValue = -1;
    int32_t RunningValue = -1;
    int32_t StoppedValue = -1;

    // The chosen device.
    QString SelectedDeviceName;
    Sorvik3::RequestRef DeviceStartRequest;
    Sorvik3::RequestRef DeviceStopRequest;
    Sorvik3::RequestRef DeviceStatusRequest;
    Sorvik3::ReadListRef DeviceReadList;

    // The sequence.
    SequenceState CurrentState = SequenceState::Idle;
    uint32_t SequenceStartTime = 0;
    uint32_t LastTesterPresentTime = 0;
    bool StopRequested = false;
    bool EmergencyStopRequested = false;
    bool MonitorStatusSelected = false;
    bool TesterPresentSelected = false;
    DriveModeValue DriveMode = DriveModeValue::Temporary;

    // The running indicator.
    int32_t AnimationFrame = 1;

    // Releases the session-library references in the order the control's end requires.
    void releaseReferences();
};

}  // namespace TavrinIoCtl
