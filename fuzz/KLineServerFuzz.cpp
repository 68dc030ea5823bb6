// Any bytes on the line, cut into reads of any size, reach the simulated ECUs'
// side of the K-line: no crash, no hang, no leak, whatever they hold.
#include "ByteChannel.h"
#include "DemoVehicleText.h"
#include "KLineEcuServer.h"
#include "SessionClock.h"
#include "VehicleLoader.h"

#include <algorithm>
#include <cstring>

namespace {

// Hands out the input in reads whose sizes the input's first bytes choose.
class FuzzChannel final : public TavrinKwp::ByteChannel {
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
    void write(const TavrinKwp::Bytes&) override {}
    std::string peerPath() const override { return "fuzz"; }
    bool done() const { return at_ >= size_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

std::shared_ptr<const TavrinKwp::VehicleDescription> instantVehicle()
{
    auto vehicle = TavrinKwp::loadVehicleText(TavrinKwp::demoVehicleXml(), "demo.xml");
    for (auto& ecu : vehicle.ecus)
        ecu.kline.timing.p2Min = 0;
    return std::make_shared<const TavrinKwp::VehicleDescription>(std::move(vehicle));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const auto vehicle = instantVehicle();
    TavrinKwp::VehicleSimulator simulator(vehicle);
    TavrinKwp::ManualClock clock;
    simulator.clock() = clock.clock();
    FuzzChannel channel(data, size);
    TavrinKwp::TransportFaults none;
    TavrinKwp::KLineEcuServer server(simulator, channel, {true, {}}, none);
    while (!channel.done())
        server.poll(0);
    return 0;
}
