// The run log on screen: a scrolled list of uniform rows painted straight from
// RunLogModel. It is told of new lines a few times a second and then selects
// and shows the newest. Only the visible rows are ever measured or painted, so
// a batch costs the same at a million lines as at ten (a list view lays out
// every row again on each insertion).
#pragma once

#include "RunLogModel.h"

#include <QAbstractScrollArea>
#include <QTimer>

namespace TavrinPlatform {

class RunLogView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit RunLogView(QWidget* parent = nullptr);

    void append(const QString& line);
    void clear();
    // Shows every appended line now and selects the newest.
    void flush();

    const RunLogModel& lines() const { return model_; }
    const RunLogModel* model() const { return &model_; }
    // The selected line; -1 when none.
    int currentRow() const { return current_; }
    // The height of one line of the log.
    int rowHeight() const;

    static constexpr int kBatchIntervalMs = 200;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    int visibleRows() const;
    void updateScrollRange();
    void updateRow(int row);
    void scrollTo(int top);

    RunLogModel model_;
    QTimer batch_;
    int current_ = -1;
    int shownTop_ = 0;  // the first row painted
};

}  // namespace TavrinPlatform
