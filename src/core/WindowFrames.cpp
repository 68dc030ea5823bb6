#include "WindowFrames.h"

#include "WidgetMaker.h"

namespace TavrinIoCtl {

void buildWindowFrames(QWidget* surface, WindowFrames& f, const TavrinPlatform::TwipsScale& scale)
{
    WidgetMaker maker{scale, f.translated};
    auto frame = [&](const char* name, const char* caption) {
        auto* box = maker.make<QGroupBox>(surface, name, "Frame");
        box->setTitle(QString::fromUtf8(caption));
        return box;
    };
    f.FrFunctions = frame("FrFunctions", "List of functions");
    f.FrDevices = frame("FrDevices", "Devices list");
    f.FrParameters = frame("FrParameters", "Parameters");
    f.FrData = frame("FrData", "Data");
    f.FrSession = frame("FrSession", "Diagnosis Session");
    f.FrComm = frame("FrComm", "Communication");
    maker.place(f.FrSession, 0, 0, 6000, 615);
}

}  // namespace TavrinIoCtl
