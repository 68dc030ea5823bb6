#include "DriveShortcuts.h"

#include <QEvent>
#include <QShortcut>

namespace TavrinIoCtl {
namespace {

// Enables the shortcut while its button is shown in the control.
class FollowButton : public QObject {
  public:
    FollowButton(QPushButton* button, QShortcut* shortcut) : QObject(shortcut), button_(button), shortcut_(shortcut)
    {
        button->installEventFilter(this);
        follow();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) follow();
        return QObject::eventFilter(watched, event);
    }

  private:
    void follow() { shortcut_->setEnabled(!button_->isHidden()); }

    QPushButton* button_;
    QShortcut* shortcut_;
};

}  // namespace

void addDriveShortcuts(QWidget* control, const SequencerWidgets& f)
{
    const std::pair<Qt::Key, QPushButton*> keys[] = {
        {Qt::Key_F5, f.cbStartTempo}, {Qt::Key_F6, f.cbStartPerm}, {Qt::Key_F7, f.CbStop}, {Qt::Key_Escape, f.cbEstop}};
    for (const auto& entry : keys) {
        QPushButton* button = entry.second;  // a named copy: a lambda cannot capture a structured binding in C++20
        auto* shortcut = new QShortcut(QKeySequence(entry.first), control);
        shortcut->setObjectName(button->objectName() + QStringLiteral("Key"));
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        new FollowButton(button, shortcut);
        QObject::connect(shortcut, &QShortcut::activated, button, [button] {
            if (!button->isHidden() && button->isEnabled()) button->click();
        });
    }
}

}  // namespace TavrinIoCtl
