// The drive actions: start temporarily (F5), start permanently (F6), stop (F7)
// and the emergency stop (Esc), each acting as its button does and enabled only
// while the button shows; after a failed stop, F7 stops again what may still be
// driven. Their keys work wherever the focus is in the control's
// window; the stop and emergency-stop keys also while a menu or a dialog of the
// application has the keyboard, so that a device is never left driven because
// a host opened one.
#pragma once

#include "SequencerWidgets.h"

#include <QAction>
#include <QKeyEvent>
#include <QList>
#include <QPushButton>

#include <functional>

namespace TavrinIoCtl {

class DriveActions : public QObject {
  public:
    // F7 also stops again, with no sequence running, what may still be driven.
    struct StopAgain {
        std::function<bool()> possible;
        std::function<void()> start;
    };
    DriveActions(QWidget* control, const SequencerWidgets& buttons, StopAgain stopAgain);
    ~DriveActions() override;

    // In the order of the buttons: start temporarily, start permanently, stop, emergency stop.
    QList<QAction*> actions() const { return actions_; }
    // The texts again after a translation: each button's caption or, for a
    // picture button, its name for a screen reader.
    void retranslate();
    // Each action enabled while its button shows (the stop also while it may stop again).
    void refresh();

  protected:
    // Esc and F7 from a menu or a dialog that has the keyboard.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QList<QAction*> actions_;
    QList<QPushButton*> buttons_;
    StopAgain stopAgain_;
    const QKeyEvent* lastKey_ = nullptr;
};

}  // namespace TavrinIoCtl
