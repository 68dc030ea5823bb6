// Waits until the control's request on the line has returned and its step has
// gone on, taking only the hand-overs from the line's thread (no other event,
// no timer), as the scenario runner does.
#pragma once

#include "ioctlAutomation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

inline bool settle(const TavrinIoCtl::ioctl& control, int limitMs = 30000)
{
    QElapsedTimer waited;
    waited.start();
    while (TavrinIoCtl::requestInFlight(control) && waited.elapsed() < limitMs) {
        QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
        if (TavrinIoCtl::requestInFlight(control)) QThread::usleep(200);
    }
    return !TavrinIoCtl::requestInFlight(control);
}
