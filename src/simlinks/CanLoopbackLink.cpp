#include "CanLoopbackLink.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace TavrinKwp {
namespace {

// A port the system gives for the asking; 0 when it gives none.
uint16_t freeLocalPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

}  // namespace

std::string loopbackCanInterface()
{
    static const std::string interface = [] {
        const uint16_t port = freeLocalPort();
        return port == 0 ? std::string("can1") : "tcp://127.0.0.1:" + std::to_string(port) + "/can1";
    }();
    return interface;
}

CanLoopbackLink::CanLoopbackLink(std::string name, std::shared_ptr<VehicleSimulator> simulator, CanOptions options)
    : SimulatedLineLink(std::move(simulator)),
      bus_(std::make_unique<CanBusPort>(options.plugin, options.interface, options.device))
{
    server_ = std::make_unique<CanEcuServer>(*simulator_, *bus_, EcuServerOptions{}, faults_);
    line_ = std::make_unique<CanLink>(std::move(name), options);
    serving_ = std::thread([this] { server_->run(stop_); });
}

CanLoopbackLink::~CanLoopbackLink()
{
    line_.reset();
    stop_ = true;
    serving_.join();
}

}  // namespace TavrinKwp
