// One tick of the drive sequence under "Monitor Status" with data monitoring on,
// control and simulated vehicle together, at zero bus latency.
#include "ControlFields.h"
#include "DemoVehicle.h"
#include "PumpStart.h"
#include "SessionClock.h"
#include "ioctlAutomation.h"
#include "ioctl_p.h"

#include <benchmark/benchmark.h>

namespace {

struct RunningPump {
    TavrinKwp::ManualClock clock{1000};
    std::shared_ptr<TavrinKwp::KwpSession> session = TavrinKwp::demoSession();
    TavrinIoCtl::ioctl control;

    RunningPump()
    {
        session->setClock(clock.clock());
        control.setClock([this] { return clock.now(); });
        Bench::startFuelPump(control, session);
        while (runStateOf(control).CurrentState != TavrinIoCtl::SequenceState::Status)
            tick();
    }
    void tick()
    {
        clock.advance(1);
        TavrinIoCtl::Events(control).ioCtlTimer_Timer();
    }
};

void monitorStatusTick(benchmark::State& state)
{
    RunningPump pump;
    for (auto _ : state)
        pump.tick();
    if (runStateOf(pump.control).CurrentState != TavrinIoCtl::SequenceState::Status ||
        !sequencerWidgetsOf(pump.control).ckReadData->isChecked()) {
        state.SkipWithError("the pump stopped running during the benchmark");
    }
    state.counters["logLines"] = static_cast<double>(reportingWidgetsOf(pump.control).runLog->lines().lineCount());
}
BENCHMARK(monitorStatusTick)->Repetitions(5)->ReportAggregatesOnly(true);

void runLogAppend(benchmark::State& state)
{
    TavrinPlatform::RunLogView log;
    const QString line = QStringLiteral("  status driving : 83 11 F1 30 01 01 B7->88 F1 11 70 01 01 01 01 5E 2A 5A 00");
    for (auto _ : state)
        log.append(line);
    state.counters["lines"] = static_cast<double>(log.lines().lineCount());
}
BENCHMARK(runLogAppend);

}  // namespace
