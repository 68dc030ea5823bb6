// Any bytes on the line, cut into reads of any size, reach the simulated ECUs'
// side of the K-line: no crash, no hang, no leak, whatever they hold.
#include "ByteChannel.h"
#include "DemoVehicleText.h"
#include "KLineEcuServer.h"
#include "SimClock.h"
#include "VehicleLoader.h"

#include <algorithm>
#include <cstring>

namespace {

// Hands out the input in reads whose sizes the input's first bytes choose.
class FuzzChannel final : public Sorvik3Sim::ByteChannel {
  public:
    FuzzChannel(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t read(uint8_t* into, size_t max, int) override
    {
        if (at_ >= size_) return 0;
        const size_t want = 1 + (data_[at_] % 64);
        const size_t n = std::min({want, max, size_ - at_});
        std::memcpy(into, data_ + at_, n);
        at_ += n;
        return n;
    }
    void write(const Sorvik3Sim::Bytes&) override {}
    std::string peerPath() const override { return "fuzz"; }
    bool done() const { return at_ >= size_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

std::shared_ptr<const Sorvik3Sim::VehicleDescription> instantVehicle()
{
    auto vehicle = Sorvik3Sim::loadVehicleText(Sorvik3Sim::demoVehicleXml(), "demo.xml");
    for (auto& ecu : vehicle.ecus)
        ecu.kline.timing.p2Min = 0;
    return std::make_shared<const Sorvik3Sim::VehicleDescription>(std::move(vehicle));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const auto vehicle = instantVehicle();
    Sorvik3Sim::VehicleSimulator simulator(vehicle);
    Sorvik3Sim::ManualClock clock;
    simulator.clock() = clock.clock();
    FuzzChannel channel(data, size);
    Sorvik3Sim::TransportFaults none;
    Sorvik3Sim::KLineEcuServer server(simulator, channel, {true, {}}, none);
    while (!channel.done())
        server.poll(0);
    return 0;
}
