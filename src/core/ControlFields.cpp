#include "ControlFields.h"

namespace TavrinIoCtl {

void ControlFields::releaseReferences()
{
    OutputControlRequest.reset();
    StopRequest.reset();
    StatusRequest.reset();
    StartSessionRequest.reset();
    PermanentListData.reset();
    TemporaryListData.reset();
    CommandData.reset();
    StatusData.reset();
    TesterPresentRequest.reset();
    SelectedEcu.reset();
    DeviceStartRequest.reset();
    DeviceStopRequest.reset();
    DeviceStatusRequest.reset();
    DeviceReadList.reset();
    Session.reset();
}

}  // namespace TavrinIoCtl
