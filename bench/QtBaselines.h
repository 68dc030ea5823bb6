// What Qt itself takes for the same work, measured in the same run as the
// control, so a goal is a ratio that means the same on every machine.
#pragma once

#include <QTreeWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Bench {

// Milliseconds of runs of an action, each followed by the painting it causes.
struct Samples {
    std::vector<double> ms;
    double median() const;
    // The width of the middle 80 % of the runs (10th to 90th percentile).
    double spread() const;
};

Samples paintedMs(int runs, const std::function<void(int)>& action);

// Rounds of runs of ours, then of the baseline, each run followed by the
// painting it causes: a busy moment of the machine falls on both alike, and
// what one leaves for the event loop (a batch timer, a deferred paint) seldom
// falls on the other's runs.
// Only the window measured is shown during its round: the offscreen platform
// repaints every shown window after another one's change.
void alternatingMs(int rounds, int runsPerRound, QWidget& ourWindow, const std::function<void(int)>& ours,
                   Samples& ourSamples, QWidget& baselineWindow, const std::function<void(int)>& baseline,
                   Samples& baselineSamples);

// A plain QTreeWidget with the columns, widths and row texts of `like`, in a
// window of the same size at the same place.
class PlainList {
  public:
    // sortColumn >= 0: the plain tree keeps its rows sorted by that column, as Qt sorts.
    explicit PlainList(const QTreeWidget& like, int sortColumn = -1);
    // Clearing and making every row anew.
    void refill();
    // QTreeWidget::sortItems on that column, ascending (a click on another column).
    void sort(int column);
    QWidget& window() { return window_; }

  private:
    QWidget window_;
    QTreeWidget* tree_;
    std::vector<QStringList> rows_;
};

// A plain window of the same widgets as `like` (the nearest Qt class of each,
// with its texts and rows; a group box with its title), each placed in
// proportion to its parent as the control places its own.
class PlainWindow {
  public:
    explicit PlainWindow(const QWidget& like);
    ~PlainWindow();
    void resize(QSize size);
    QWidget& window() { return *window_; }

  private:
    std::unique_ptr<QWidget> window_;
};

// Appending that many lines to a QStringListModel under a shown QListView,
// the view told every `batch` lines and the newest selected; seconds.
double plainLogAppendSeconds(const QString& line, int lines, int batch);

double percentileOf(std::vector<double> values, double p);

}  // namespace Bench
