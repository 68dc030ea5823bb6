// What the catalogue resolved for the chosen ECU and device: the requests the
// sequence sends, the lists and command values it fills them with. The catalogue
// owns it and alone changes it; the sequence and the tools read it.
#pragma once

#include "Sorvik3.h"

#include <QString>

#include <cstdint>

namespace TavrinIoCtl {

struct DeviceSelection {
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

    // Releases the session-library references in the order the control's end requires.
    void releaseReferences();
};

}  // namespace TavrinIoCtl
