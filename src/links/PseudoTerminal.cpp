#include "ByteChannel.h"

#include "ErrorNumbers.h"
#include "Sorvik3.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace TavrinKwp {
namespace {

constexpr int kWriteWaitMs = 200;

[[noreturn]] void failed(const std::string& what)
{
    throw sessionError(SessionError::LinkUnavailable,
                       "Cannot open a pseudo-terminal: " + what + ": " + std::strerror(errno));
}

class PseudoTerminal final : public ByteChannel {
  public:
    PseudoTerminal()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0) failed("posix_openpt");
        // A tester that stops reading must not block the ECU's side: writes wait a bounded time.
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        if (grantpt(master_) != 0 || unlockpt(master_) != 0) failed("unlockpt");
        char name[128];
        if (ptsname_r(master_, name, sizeof name) != 0) failed("ptsname");
        path_ = name;
        // Holding the other end open keeps the master readable while no tester is there,
        // and its raw mode passes every byte as it is.
        peer_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (peer_ < 0) failed(path_);
        termios mode{};
        if (tcgetattr(peer_, &mode) == 0) {
            cfmakeraw(&mode);
            tcsetattr(peer_, TCSANOW, &mode);
        }
    }
    ~PseudoTerminal() override
    {
        ::close(peer_);
        ::close(master_);
    }

    size_t read(uint8_t* into, size_t max, int timeoutMs) override
    {
        pollfd wanted{master_, POLLIN, 0};
        if (::poll(&wanted, 1, timeoutMs) <= 0 || (wanted.revents & POLLIN) == 0) return 0;
        const ssize_t got = ::read(master_, into, max);
        return got > 0 ? static_cast<size_t>(got) : 0;
    }

    void write(const Bytes& bytes) override
    {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (wrote > 0) {
                done += static_cast<size_t>(wrote);
                continue;
            }
            if (wrote < 0 && errno == EINTR) continue;
            pollfd room{master_, POLLOUT, 0};
            // A tester that reads nothing for this long misses the rest: its timeout tells it.
            if (wrote < 0 && errno == EAGAIN && ::poll(&room, 1, kWriteWaitMs) > 0) continue;
            return;
        }
    }

    std::string peerPath() const override { return path_; }

  private:
    int master_ = -1;
    int peer_ = -1;
    std::string path_;
};

}  // namespace

std::unique_ptr<ByteChannel> openPseudoTerminal()
{
    return std::make_unique<PseudoTerminal>();
}

}  // namespace TavrinKwp
