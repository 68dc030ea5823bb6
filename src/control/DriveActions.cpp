#include "DriveActions.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

namespace TavrinIoCtl {
namespace {

// Enables the action while its button is shown and enabled in the control.
class FollowButton : public QObject {
  public:
    FollowButton(QPushButton* button, QAction* action) : QObject(action), button_(button), action_(action)
    {
        button->installEventFilter(this);
        follow();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto type = event->type();
        if (type == QEvent::ShowToParent || type == QEvent::HideToParent || type == QEvent::EnabledChange) follow();
        return QObject::eventFilter(watched, event);
    }

  private:
    void follow() { action_->setEnabled(!button_->isHidden() && button_->isEnabled()); }

    QPushButton* button_;
    QAction* action_;
};

constexpr int kStopAction = 2;
constexpr int kEmergencyStopAction = 3;

}  // namespace

DriveActions::DriveActions(QWidget* control, const SequencerWidgets& w) : QObject(control)
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
        new FollowButton(button, action);
        QObject::connect(action, &QAction::triggered, button, [button] {
            if (!button->isHidden() && button->isEnabled()) button->click();
        });
        actions_.append(action);
    }
    retranslate();
    qApp->installEventFilter(this);
}

DriveActions::~DriveActions()
{
    qApp->removeEventFilter(this);
}

void DriveActions::retranslate()
{
    for (int i = 0; i < actions_.size(); ++i) {
        const QPushButton* button = buttons_[i];
        actions_[i]->setText(button->text().isEmpty() ? button->accessibleName() : button->text());
        actions_[i]->setToolTip(button->toolTip());
    }
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
