#include "DriveActions.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

namespace TavrinIoCtl {
namespace {

// Refreshes the actions whenever a button shows, hides or is enabled.
class FollowButton : public QObject {
  public:
    FollowButton(QPushButton* button, DriveActions* actions) : QObject(actions), actions_(actions)
    {
        button->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto type = event->type();
        if (type == QEvent::ShowToParent || type == QEvent::HideToParent || type == QEvent::EnabledChange)
            actions_->refresh();
        return QObject::eventFilter(watched, event);
    }

  private:
    DriveActions* actions_;
};

bool shown(const QPushButton* button)
{
    return !button->isHidden() && button->isEnabled();
}

constexpr int kStopAction = 2;
constexpr int kEmergencyStopAction = 3;

}  // namespace

DriveActions::DriveActions(QWidget* control, const SequencerWidgets& w, StopAgain stopAgain)
    : QObject(control), stopAgain_(std::move(stopAgain))
{
    buttons_ = {w.cbStartTempo, w.cbStartPerm, w.CbStop, w.cbEstop};
    const Qt::Key keys[] = {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_Escape};
    for (int i = 0; i < buttons_.size(); ++i) {
        QPushButton* button = buttons_[i];
        auto* action = new QAction(control);
        action->setObjectName(button->objectName() + QStringLiteral("Action"));
        action->setShortcut(QKeySequence(keys[i]));
        // The whole window: the focus may be on a host's widget beside the control.
        action->setShortcutContext(Qt::WindowShortcut);
        control->addAction(action);
        new FollowButton(button, this);
        const bool stop = i == kStopAction;
        QObject::connect(action, &QAction::triggered, button, [this, button, stop] {
            if (shown(button))
                button->click();
            else if (stop && stopAgain_.possible())
                stopAgain_.start();
        });
        actions_.append(action);
    }
    refresh();
    retranslate();
    qApp->installEventFilter(this);
}

DriveActions::~DriveActions()
{
    // A control may outlive the application object when a host tears down late.
    if (qApp != nullptr) qApp->removeEventFilter(this);
}

void DriveActions::retranslate()
{
    for (int i = 0; i < actions_.size(); ++i) {
        const QPushButton* button = buttons_[i];
        actions_[i]->setText(button->text().isEmpty() ? button->accessibleName() : button->text());
        actions_[i]->setToolTip(button->toolTip());
    }
}

void DriveActions::refresh()
{
    for (int i = 0; i < actions_.size(); ++i)
        actions_[i]->setEnabled(shown(buttons_[i]) || (i == kStopAction && stopAgain_.possible()));
}

bool DriveActions::eventFilter(QObject* watched, QEvent* event)
{
    // A key a shortcut took never arrives here; one that a popup menu or a
    // dialog receives does. It still goes on: the menu closes, the dialog answers.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // A key goes up the parents that refuse it, all before the event loop turns: acted on once.
    if (key == lastKey_) return false;
    if (key->isAutoRepeat() || key->modifiers() != Qt::NoModifier) return false;
    const int index = key->key() == Qt::Key_Escape ? kEmergencyStopAction : key->key() == Qt::Key_F7 ? kStopAction : -1;
    if (index < 0 || !actions_[index]->isEnabled()) return false;
    lastKey_ = key;
    QTimer::singleShot(0, this, [this] { lastKey_ = nullptr; });
    actions_[index]->trigger();
    return false;
}

}  // namespace TavrinIoCtl
