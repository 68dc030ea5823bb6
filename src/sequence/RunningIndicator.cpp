#include "Sequencer.h"

#include <cmath>

namespace TavrinIoCtl {

void Sequencer::ShowRunning(bool visible)
{
    c_.form.PictureRunning->setVisible(visible);
    if (visible)
        c_.form.timRun->start();
    else
        c_.form.timRun->stop();
}

void Sequencer::timRun_Timer()
{
    auto& frame = run_.AnimationFrame;
    c_.form.PictureRunning->drawPicture(c_.form.ilstRunning->image(frame + 1), QPoint(0, 0));
    c_.form.PictureRunning->repaint();
    frame = (frame + 1) % 4;
}

void Sequencer::ShowElapsedTime()
{
    // Tenths rounded half to even: 12 250 ms shows 12.2 s.
    const double tenths = std::nearbyint(elapsedMs() / 100.0);
    c_.form.lbTime->setText(c_.platform.seconds(static_cast<uint64_t>(tenths) * 100) + QStringLiteral(" s"));
}

}  // namespace TavrinIoCtl
