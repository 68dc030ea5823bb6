#include "Clock.h"

#include <QElapsedTimer>

namespace TavrinPlatform {

uint32_t systemMilliseconds()
{
    static QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return static_cast<uint32_t>(started.elapsed());
}

}  // namespace TavrinPlatform
