// Choosing an ECU and a device on ECUs of growing size: both must stay linear
// in the number of devices and data items.
#include "ControlFields.h"
#include "KwpSession.h"
#include "ioctlAutomation.h"
#include "ioctl_p.h"

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

// An ECU with n devices in both lists, two measured values per device and 20 parameters.
std::string largeEcu(int n)
{
    std::ostringstream xml;
    xml << "<vehicle><ecu id=\"1\" name=\"Large\"><request name=\"OutputControl\" service=\"0x30\" bytes=\"30 00 00\">";
    for (const char* list : {"OutputTemporaryControlList", "OutputPermanentControlList"}) {
        xml << "<data name=\"" << list << "\" position=\"1\" size=\"2\">";
        for (int d = 0; d < n; ++d)
            xml << "<value name=\"Device " << d << "\" number=\"" << d << "\"/>";
        xml << "</data>";
    }
    xml << "<data name=\"OutputControlCommand\" position=\"3\"><value name=\"Start Temporary\" number=\"7\"/></data>";
    for (int p = 0; p < 20; ++p)
        xml << "<data name=\"Param" << p << "\" position=\"" << (4 + p) << "\"/>";
    xml << "</request>";
    for (int d = 0; d < n; ++d) {
        xml << "<request name=\"Read" << d << "\" service=\"0x21\"><response>"
            << "<data name=\"Value" << d << "a\" device=\"Device " << d << "\" position=\"2\"/>"
            << "<data name=\"Value" << d << "b\" device=\"Device " << d << "\" position=\"3\"/>"
            << "</response></request>";
    }
    xml << "</ecu></vehicle>";
    return xml.str();
}

struct LargeControl {
    TavrinIoCtl::ioctl control;
    explicit LargeControl(int n)
    {
        control.resize(1000, 680);
        control.initParameters(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"),
                               TavrinKwp::KwpSession::fromText(largeEcu(n)));
    }
    void chooseEcu()
    {
        TavrinIoCtl::Events(control).lvFunctions_ItemClick(
            catalogueWidgetsOf(control).lvFunctions->findItem(QStringLiteral("1k")));
    }
    void chooseDevice(int d)
    {
        const auto& lists = catalogueWidgetsOf(control);
        lists.lvDevices->setCurrentItem(lists.lvDevices->findItem(QStringLiteral("Device %1k").arg(d)));
        TavrinIoCtl::Events(control).lvDevices_Click();
    }
};

void chooseLargeEcu(benchmark::State& state)
{
    LargeControl large(static_cast<int>(state.range(0)));
    for (auto _ : state)
        large.chooseEcu();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(chooseLargeEcu)->RangeMultiplier(4)->Range(64, 4096)->Complexity()->Unit(benchmark::kMicrosecond);

void chooseDeviceOfLargeEcu(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    LargeControl large(n);
    large.chooseEcu();
    int d = 0;
    for (auto _ : state)
        large.chooseDevice(d++ % n);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(chooseDeviceOfLargeEcu)->RangeMultiplier(4)->Range(64, 4096)->Complexity()->Unit(benchmark::kMicrosecond);

}  // namespace
