// While a call waits and the window's events are served meanwhile, a
// deleteLater of a widget (or of a window it sits in) would be done inside
// that wait, under the code that made the call. The hold keeps such deletions
// back and lets them go when the call has returned.
#pragma once

#include <QObject>
#include <QPointer>
#include <QVector>

class QWidget;

namespace TavrinPlatform {

class DeleteHold final : public QObject {
  public:
    explicit DeleteHold(QWidget* widget);
    ~DeleteHold() override;
    // On: deletions of the widget and its ancestors are held back. Off: what was held is deleted later.
    void hold(bool on);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* widget_;
    bool holding_ = false;
    QVector<QPointer<QObject>> held_;
};

}  // namespace TavrinPlatform
