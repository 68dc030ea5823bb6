// The run log on screen: a list view with uniform rows over RunLogModel. It
// tells itself of new lines a few times a second and then shows the newest.
#pragma once

#include "RunLogModel.h"

#include <QListView>
#include <QTimer>

namespace TavrinPlatform {

class RunLogView : public QListView {
    Q_OBJECT
  public:
    explicit RunLogView(QWidget* parent = nullptr);

    void append(const QString& line);
    void clear();
    // Shows every appended line now and selects the newest.
    void flush();

    const RunLogModel& lines() const { return model_; }

    static constexpr int kBatchIntervalMs = 100;

  private:
    RunLogModel model_;
    QTimer batch_;
};

}  // namespace TavrinPlatform
