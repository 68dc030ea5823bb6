// The one owner of "what may be driven". A device is entered as soon as a start
// request's bytes may have reached its ECU, and leaves only when a stop was
// answered and that answer was judged a stop. The sequence, the emergency
// stop, the host's calls and the programs' ways out all ask it.
#pragma once

#include "SequenceState.h"
#include "Sorvik3.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace TavrinIoCtl {

// What it takes to stop a device, captured when it was started: the selection
// may move on while the device still runs.
struct DrivenDevice {
    Sorvik3::EcuRef ecu;
    QString device;
    DriveModeValue mode = DriveModeValue::Temporary;
    Sorvik3::RequestRef stopRequest;
    bool sharedStop = false;  // the ECU's general stop: it must be made to name the device
    int32_t stopCommand = -1;
    int32_t startCommand = -1;  // a "stop" that sends this would start it again
    int32_t runningValue = -1;  // the status value that says it runs
};

class DriveLedger {
  public:
    // Called after every change.
    std::function<void()> onChange;

    void mayBeDriven(const DrivenDevice& device);
    // The ECU answered a stop for it and the answer was judged a stop.
    void stopped(const DrivenDevice& device);
    bool holds(const DrivenDevice& device) const;
    bool empty() const { return devices_.empty(); }
    // In the order they were started.
    const std::vector<DrivenDevice>& devices() const { return devices_; }
    QStringList names() const;

  private:
    std::vector<DrivenDevice>::iterator find(const DrivenDevice& device);
    std::vector<DrivenDevice> devices_;
};

}  // namespace TavrinIoCtl
