#include "DeleteHold.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace TavrinPlatform {

DeleteHold::DeleteHold(QWidget* widget) : widget_(widget)
{}

DeleteHold::~DeleteHold()
{
    if (holding_ && QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

void DeleteHold::hold(bool on)
{
    auto* application = QCoreApplication::instance();
    if (on == holding_ || !application) return;
    holding_ = on;
    if (on) {
        application->installEventFilter(this);
        return;
    }
    application->removeEventFilter(this);
    for (const auto& object : std::exchange(held_, {})) {
        if (object) object->deleteLater();
    }
}

bool DeleteHold::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::DeferredDelete) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (watched != widget_ && !(widget && widget->isAncestorOf(widget_))) return false;
    held_.append(watched);
    return true;
}

}  // namespace TavrinPlatform
