#include "Sequencer.h"

#include <cmath>

namespace TavrinIoCtl {

void Sequencer::ShowRunning(bool visible)
{
    w_.PictureRunning->setVisible(visible);
    if (visible)
        w_.timRun->start();
    else
        w_.timRun->stop();
}

void Sequencer::timRun_Timer()
{
    auto& frame = run_.AnimationFrame;
    w_.PictureRunning->drawPicture(w_.ilstRunning->image(frame + 1), QPoint(0, 0));
    w_.PictureRunning->repaint();
    frame = (frame + 1) % 4;
}

void Sequencer::ShowElapsedTime()
{
    // Tenths rounded half to even: 12 250 ms shows 12.2 s.
    const auto tenths = static_cast<uint64_t>(std::nearbyint(elapsedMs() / 100.0));
    // Ticks come every millisecond and the label changes every hundred: the text is made when it changes.
    if (shownTime_ && shownTime_->first == tenths && w_.lbTime->text() == shownTime_->second) return;
    shownTime_.emplace(tenths, c_.platform.seconds(tenths * 100) + QStringLiteral(" s"));
    w_.lbTime->setText(shownTime_->second);
}

}  // namespace TavrinIoCtl
