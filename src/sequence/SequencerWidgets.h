// The sequencer's widgets: the data reading controls, the drive buttons and
// options, the elapsed time with the running picture, and the sequence's and
// the picture's timers. The sequencer owns them; others reach them through it.
#pragma once

#include "PictureBox.h"
#include "WindowFrames.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <array>

namespace TavrinIoCtl {

struct SequencerWidgets {
    QPushButton* cbReadData = nullptr;
    QCheckBox* ckReadData = nullptr;
    QPushButton* cbStartTempo = nullptr;
    QPushButton* cbStartPerm = nullptr;
    QPushButton* CbStop = nullptr;
    QPushButton* cbEstop = nullptr;
    std::array<QRadioButton*, 3> OptionPerm{};
    QLabel* LabelTime = nullptr;
    QLabel* lbTime = nullptr;
    TavrinPlatform::PictureBox* PictureRunning = nullptr;
    TavrinPlatform::ImageList* ilstRunning = nullptr;
    QTimer* ioCtlTimer = nullptr;
    QTimer* timRun = nullptr;

    // The widgets a translation walks, in creation order.
    QList<QObject*> translated;
};

void buildSequencerWidgets(QWidget* surface, const WindowFrames& frames, SequencerWidgets& widgets,
                           const TavrinPlatform::TwipsScale& scale);

}  // namespace TavrinIoCtl
