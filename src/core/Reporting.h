// What the control tells the user: run-log lines, the status message with its
// error number, the busy LED, and the click on the message panel that asks the
// host for an error's details.
#pragma once

#include "ControlFields.h"
#include "PendingError.h"
#include "ReportingWidgets.h"

#include <functional>

namespace TavrinIoCtl {

// Where a line goes: the run log only, or also the status message.
enum class Show { LogOnly, InStatus };

class Reporting {
  public:
    explicit Reporting(ControlFields& fields) : fields_(fields) {}

    // Makes the run log, the LED and the status bar; once, before anything is told.
    void buildWidgets(QWidget* surface, const WindowFrames& frames, const TavrinPlatform::TwipsScale& scale)
    {
        buildReportingWidgets(surface, frames, w_, scale);
    }
    const ReportingWidgets& widgets() const { return w_; }

    void LogMessage(const QString& text, Show show = Show::LogOnly, int32_t errorCode = 0);
    // The status message's hint when error details can be asked for; the control
    // sets it from the language file.
    std::function<QString()> errorHint = [] { return QStringLiteral("Clic here for error details"); };
    // A message of the control's language by its key, English by default; the control sets it.
    std::function<QString(const QString& key, const QString& english)> message =
        [](const QString&, const QString& english) { return english; };
    // Told of every error shown in the status bar, with its number.
    std::function<void(int32_t, const QString&)> onError;
    // What the indicator's colour means ("Red", "Amber", "Green"), for a screen reader.
    std::function<QString(const QString& colour)> ledMeaning;
    // Told when Busy changes.
    std::function<void(bool busy)> onBusy;
    void ClearLog();
    // The state of the sequence in the status bar's "DIAG" panel.
    void showState(const QString& text);
    void SetBusy(bool busy);
    // A device may still be driven though no sequence runs: the LED turns amber
    // (red while busy wins).
    void setDrivenWarning(bool warn);
    // The error code the click raises ErrorMsg with, if any.
    std::optional<int32_t> errorOfPanelClick(const QString& key) const;

    // The boundary of every event handler: whatever it throws is reported and
    // the control carries on.
    template <typename Handler>
    void guard(const char* handlerName, Handler&& handler) noexcept
    {
        if (auto failure = attempt(std::forward<Handler>(handler))) reportEscaped(handlerName, *failure);
    }

    static const QString kWelcome;

    // Shows the indicator again, its meaning in the language now loaded.
    void showLed();

  private:
    void reportEscaped(const char* handlerName, const Failure& failure) noexcept;

    ReportingWidgets w_;
    ControlFields& fields_;
    bool drivenWarning_ = false;
};

}  // namespace TavrinIoCtl
