// The demo host: a window embedding the control on a vehicle, simulated or reached through a link.
#pragma once

#include "DemoTranslators.h"
#include "DemoVehicles.h"
#include "KwpSession.h"
#include "RunPlot.h"
#include "RunRecorder.h"
#include <TavrinIoCtl/ioctl.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include <functional>

class DrivenBanner;
class QSplitter;

class DemoWindow : public QMainWindow {
    Q_OBJECT
  public:
    // headless: no one can close a dialog; errors go to standard error instead.
    DemoWindow(QString installPath, QString language, LineTiming timing, bool headless = false);

    // Loads the session (of the description file at vehiclePath, empty for the demo
    // vehicle) into the control; false (with a message box) on failure.
    bool start(std::shared_ptr<TavrinKwp::KwpSession> session, const QString& vehiclePath = {});
    // Reopens the vehicle over another link: true when done now. While a
    // sequence runs it stops the device first and reopens afterwards (false now).
    bool connectTo(const QString& link);
    TavrinIoCtl::ioctl* control() const { return control_; }
    RunPlot* plot() const { return plot_; }
    // The warning that a device may still be driven (hidden while none may be).
    QWidget* drivenBanner() const;

    // Writes BASE.log (the run log), BASE.csv (the values) and BASE.json (the runs);
    // false with the reason when a file cannot be written.
    bool saveRun(const QString& base, QString& why) const;
    // Save run...'s end: the run saved, then the folder and the files said in the
    // status bar, or the reason in words.
    bool keepRun(const QString& base);

    // How long a closing window waits for the stop before it falls back to the emergency stop.
    static constexpr int kStopLimitMs = 10000;
    // Enough for a readable plot area beside its axes and legend.
    static constexpr int kPlotMinimumHeight = 120;

  protected:
    // A device being driven is stopped before the window closes.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private slots:
    void openVehicle();
    void chooseLink();
    void saveRunAs();
    void chooseLanguage(const QString& code);
    void showErrorDetails(qint32 number);

  private:
    void buildMenus();
    // Moves the divider between the control and the plot down by `by` pixels (up when negative).
    void movePlotDivider(int by);
    static constexpr int kPlotStep = 40;
    // Help > Keys: every key of the window, the control's drive keys first.
    QString keysText() const;
    QString aboutText() const;
    void complain(const QString& what, const std::exception& error);
    void watchTheStop();
    void press(const char* button);
    // Runs the action once no sequence runs: at once, or after the verified stop
    // (the stop click, then the emergency stop past the limit).
    void afterStopping(std::function<void()> action);
    bool sequenceRuns() const { return control_->Busy() && !aborted_; }
    bool reopen(const QString& path, const QString& link);

    TavrinIoCtl::ioctl* control_;
    RunPlot* plot_;
    QSplitter* split_ = nullptr;
    bool plotPlaced_ = false;
    QString installPath_;
    QString language_;
    LineTiming timing_;
    bool headless_;
    std::shared_ptr<TavrinKwp::KwpSession> session_;
    QString vehiclePath_;  // empty: the demo vehicle
    void showLink();
    QString mode_ = QStringLiteral("temporary");
    std::unique_ptr<TavrinApps::RunRecorder> record_;
    TavrinApps::RunRecorder::Context recordContext();
    bool stopping_ = false;
    bool emergency_ = false;
    bool aborted_ = false;  // Busy stays true after an abort: nothing runs any more
    bool closing_ = false;
    std::function<void()> afterStop_;
    QElapsedTimer stopWatch_;
    DemoTranslators translators_;
    QLabel* linkLabel_ = nullptr;
    DrivenBanner* banner_ = nullptr;
    QTimer stopCheck_;
};
