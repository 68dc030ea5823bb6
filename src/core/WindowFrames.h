// The frames of the control's window: every part's widgets sit in one of them,
// and the layout places them. The window owns them.
#pragma once

#include "Twips.h"

#include <QGroupBox>
#include <QList>

namespace TavrinIoCtl {

struct WindowFrames {
    QGroupBox* FrFunctions = nullptr;
    QGroupBox* FrDevices = nullptr;
    QGroupBox* FrParameters = nullptr;
    QGroupBox* FrData = nullptr;
    QGroupBox* FrSession = nullptr;
    QGroupBox* FrComm = nullptr;

    // The frames a translation walks, in creation order.
    QList<QObject*> translated;
};

// Made first: the parts' widgets are made inside them.
void buildWindowFrames(QWidget* surface, WindowFrames& frames, const TavrinPlatform::TwipsScale& scale);

}  // namespace TavrinIoCtl
