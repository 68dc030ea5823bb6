// Cost of one exchange with the simulated vehicle at zero bus latency: the part
// of a sequence tick that the session library takes.
#include "DemoVehicle.h"
#include "SessionClock.h"

#include <benchmark/benchmark.h>

namespace {

struct OpenEngine {
    TavrinKwp::ManualClock clock;
    std::shared_ptr<TavrinKwp::KwpSession> session = TavrinKwp::demoSession();
    Sorvik3::EcuRef engine;

    OpenEngine()
    {
        session->setClock(clock.clock());
        engine = session->Ecus().front();
        engine->Init();
        engine->Request("StartDiagnosticSession")->Send();
    }
};

void statusExchange(benchmark::State& state)
{
    OpenEngine vehicle;
    auto status = vehicle.engine->Request("OutputControl.Status.FuelPump");
    status->Data("OutputControlCommand")->setValueName("Status");
    for (auto _ : state) {
        vehicle.clock.advance(1);
        status->Send();
        benchmark::DoNotOptimize(status->Data("OutputControlStatus")->ValueText());
    }
}
BENCHMARK(statusExchange);

void readDeviceData(benchmark::State& state)
{
    OpenEngine vehicle;
    auto read = vehicle.engine->Request("ReadData.FuelSystem");
    for (auto _ : state) {
        vehicle.clock.advance(1);
        read->Send();
        benchmark::DoNotOptimize(read->Data("FuelPressure")->ValueText());
    }
}
BENCHMARK(readDeviceData);

void loadDemoVehicle(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TavrinKwp::demoSession());
}
BENCHMARK(loadDemoVehicle);

}  // namespace
