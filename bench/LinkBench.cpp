// One status exchange over the links: the K-line across a real pseudo-terminal with
// the simulated ECU answering at once (P2min, P3min and P4min set to 0). A
// pseudo-terminal carries bytes without a baud rate, so the time measured is the
// link's own overhead; "wire_ms" is what the same bytes would add on a line at
// the ECU's baud rate.
#include "DemoVehicleText.h"
#include "KwpSession.h"
#include "VehicleLoader.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

std::shared_ptr<TavrinKwp::KwpSession> instantEngine(const std::string& link)
{
    auto vehicle = TavrinKwp::loadVehicleText(TavrinKwp::demoVehicleXml(), "demo.xml");
    auto& timing = vehicle.ecus.front().kline.timing;
    timing.p2Min = 0;
    timing.p3Min = 0;
    timing.p4Min = 0;
    return std::make_shared<TavrinKwp::KwpSession>(std::move(vehicle), link);
}

void statusExchangeOverKLine(benchmark::State& state)
{
    auto session = instantEngine("kline:loopback");
    auto engine = session->Ecus().front();
    engine->Init();
    engine->Request("StartDiagnosticSession")->Send();
    auto status = engine->Request("OutputControl.Status.FuelPump");
    status->Data("OutputControlCommand")->setValueName("Status");
    for (auto _ : state) {
        status->Send();
        benchmark::DoNotOptimize(status->Data("OutputControlStatus")->ValueText());
    }
    // Request and answer frames, each byte ten bits (the echo travels with the request).
    const auto bytes = (status->FrameText(true).size() + 1) / 3 + (status->FrameText(false).size() + 1) / 3;
    const double baud = session->vehicle().ecus.front().kline.baud;
    state.counters["wire_ms"] = static_cast<double>(bytes) * 10.0 * 1000.0 / baud;
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(statusExchangeOverKLine)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same over the CAN link and the virtual bus (a TCP hub in this process).
// The wire time is that of the bus at 500 kbit/s: about 0.25 ms for a single
// frame each way, here two frames of the answer and one flow control.
void statusExchangeOverCan(benchmark::State& state)
{
    std::shared_ptr<TavrinKwp::KwpSession> session;
    try {
        session = instantEngine("can:loopback");
        session->Ecus().front()->Init();
    } catch (const Sorvik3::Error& error) {
        state.SkipWithError(("virtualcan cannot start here: " + error.description()).c_str());
        return;
    }
    auto status = session->Ecus().front()->Request("OutputControl.Status.FuelPump");
    status->Data("OutputControlCommand")->setValueName("Status");
    for (auto _ : state)
        status->Send();
    // Request SF, answer FF + CF, flow control: four frames of about 125 bits at 500 kbit/s.
    state.counters["wire_ms"] = 4 * 125.0 / 500.0;
}
BENCHMARK(statusExchangeOverCan)->Unit(benchmark::kMillisecond)->UseRealTime();

void statusExchangeInProcess(benchmark::State& state)
{
    auto session = instantEngine("sim");
    auto engine = session->Ecus().front();
    engine->Init();
    auto status = engine->Request("OutputControl.Status.FuelPump");
    status->Data("OutputControlCommand")->setValueName("Status");
    for (auto _ : state)
        status->Send();
}
BENCHMARK(statusExchangeInProcess)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
