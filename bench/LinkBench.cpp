// One status exchange over the links: the K-line across a real pseudo-terminal with
// the simulated ECU answering at once (P2min, P3min and P4min set to 0). A
// pseudo-terminal carries bytes without a baud rate, so the time measured is the
// link's own overhead; "wire_ms" is what the same bytes would add on a line at
// the ECU's baud rate.
#include "DemoVehicleText.h"
#include "KwpSession.h"
#include "VehicleLoader.h"

#include <QCoreApplication>

#include <algorithm>

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

// The characters an ELM327 adapter sends and receives for one exchange with
// echo, spaces and line feeds off and headers on: the command in hex and its
// return; each answer frame as a line (CAN: three identifier digits and the
// frame's bytes; K-line: header, data and checksum), then the prompt.
size_t adapterTextChars(size_t requestBytes, size_t answerBytes, bool can)
{
    size_t chars = 2 * requestBytes + 1;
    if (!can) return chars + 2 * (3 + answerBytes + 1) + 1 + 2;
    if (answerBytes <= 7) return chars + 3 + 2 * (1 + answerBytes) + 1 + 2;
    chars += 3 + 2 * 8 + 1;  // first frame
    for (size_t left = answerBytes - 6; left > 0; left -= std::min<size_t>(left, 7))
        chars += 3 + 2 * (1 + std::min<size_t>(left, 7)) + 1;
    return chars + 2;
}

// The same through an emulated ELM327 on a pseudo-terminal, on CAN (range 1) and
// on the K-line (range 0). The pseudo-terminal has no baud rate: "line_ms_38400"
// and "line_ms_115200" are what the adapter's own serial line would add for its
// text at those rates, on top of the measured time.
void statusExchangeOverElm(benchmark::State& state)
{
    const bool can = state.range(0) == 1;
    auto session = instantEngine(can ? "elm:loopback" : "elm:loopback?protocol=kline");
    auto engine = session->Ecus().front();
    engine->Init();
    engine->Request("StartDiagnosticSession")->Send();
    auto status = engine->Request("OutputControl.Status.FuelPump");
    status->Data("OutputControlCommand")->setValueName("Status");
    for (auto _ : state)
        status->Send();
    const auto request = TavrinKwp::parseHex(status->FrameText(true));
    const auto answer = TavrinKwp::parseHex(status->FrameText(false));
    const size_t requestBytes = can ? request->size() : request->size() - 4;  // K-line: without header and checksum
    const size_t answerBytes = can ? answer->size() : answer->size() - 4;
    const double chars = static_cast<double>(adapterTextChars(requestBytes, answerBytes, can));
    state.counters["text_chars"] = chars;
    state.counters["line_ms_38400"] = chars * 10.0 * 1000.0 / 38400.0;
    state.counters["line_ms_115200"] = chars * 10.0 * 1000.0 / 115200.0;
}
BENCHMARK(statusExchangeOverElm)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

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
