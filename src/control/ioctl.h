// The Tavrin Input Output Control: an embeddable widget with which a host
// diagnostic application runs actuator tests on the ECUs of a vehicle through
// KWP2000 InputOutputControlByLocalIdentifier. The host hands it a Session,
// an installation path and a language; errors of the calls the host makes
// reach it as Sorvik3::Error, with number() and description().
#pragma once

#include <TavrinIoCtl/SequenceState.h>
#include <TavrinIoCtl/Sorvik3.h>
#include <TavrinIoCtl/TavrinIoCtlExport.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QAction;

namespace TavrinIoCtl {

class ioctlPrivate;

// major "." minor ".0." revision: 1, 0, 1 gives 1.0.0.1.
TAVRINIOCTL_EXPORT QString versionText(int major, int minor, int revision);

class TAVRINIOCTL_EXPORT ioctl : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("TypeLibrary", "TavrinIoCtl")
    Q_CLASSINFO("TypeLibraryVersion", "2.0")
    Q_CLASSINFO("HelpString", "Tavrin Input Output Control")
    Q_CLASSINFO("LibraryGuid", "2A3A9AEB-932F-4FF1-8B10-F80AEF150D96")
    Q_CLASSINFO("ClassGuid", "5871EF15-97CA-417D-82BA-3C1373F46E08")
    Q_CLASSINFO("DefaultInterface", "_ioctl")
    Q_CLASSINFO("DefaultInterfaceIid", "D9CE74CF-4B03-4183-854F-6BC72074BCC3")
    Q_CLASSINFO("EventInterface", "__ioctl")
    Q_CLASSINFO("EventInterfaceIid", "F61F2F2F-4A24-4450-A9D5-20DD2B33EF7D")
    Q_CLASSINFO("DispId.Session", "0x6803000C")
    Q_CLASSINFO("DispId.initParameters", "0x60030013")
    Q_CLASSINFO("DispId.ControlVersion", "0x6803000B")
    Q_CLASSINFO("DispId.Abort", "0x60030014")
    Q_CLASSINFO("DispId.Busy", "0x6803000A")
    Q_CLASSINFO("DispId.ErrorMsg", "1")
    Q_PROPERTY(bool Busy READ Busy NOTIFY busyChanged)
    Q_PROPERTY(QString ControlVersion READ ControlVersion CONSTANT)
    Q_PROPERTY(QStringList DrivenDevices READ DrivenDevices NOTIFY drivenDevicesChanged)

  public:
    // Builds the window (nothing is shown until the host shows it); no session
    // yet, Busy false. The control owns its child widgets; the host owns the control.
    explicit ioctl(QWidget* parent = nullptr);
    // Stops the timers, sends the stop of any device that may still be driven
    // (nobody would be left to tell), detaches the item views from the session
    // and releases every session object it holds.
    ~ioctl() override;

    // The session the control works in; empty before one is given. The host owns it.
    Sorvik3::SessionRef Session() const;
    // Replaces the session and, once initParameters has run, lists its ECUs
    // again. Throws Sorvik3::Error when the session library fails, and
    // 0x2105 (changing nothing) while a sequence runs: stop it first.
    void setSession(Sorvik3::SessionRef newSession);
    // Loads the language file szInstallServer + "/lang/ioctl.xml" in the
    // language given ("en" when empty), translates the window, shows the version,
    // takes the session (when given) and lists its ECUs. Throws Sorvik3::Error
    // only: 1 for a language file that cannot be read, the session library's
    // numbers, 0x2105 while a sequence runs (nothing is changed then),
    // 0x7FFF0000 for a foreign failure. What failed is not undone.
    void initParameters(const QString& szInstallServer, const QString& szUserInterfaceLanguage,
                        Sorvik3::SessionRef aDiagSession = {});
    // "1.0.0.1": major, minor, 0, revision.
    QString ControlVersion() const;
    // Stops the sequence timer for good: no sequence starts again. A device
    // that may be driven first gets its stop request once, logged like the
    // emergency stop's; one whose stop fails is named in the run log and the
    // status bar. Never throws.
    void Abort();
    // The devices that may be driven: started (the start may have reached the
    // ECU and was not refused) and not yet confirmed stopped by the ECU. Empty
    // when nothing may be driven. A host asks this before it closes, switches
    // the session or aborts, and warns the user when it is not empty.
    QStringList DrivenDevices() const;
    // After a failed stop: every device that may still be driven gets its stop
    // again, tried as the user's stop is and judged by its answer; one whose stop
    // fails again is named in the run log and the status bar. Does nothing while a
    // sequence runs (its own stop is on it), after Abort, or when nothing may be
    // driven; F7 does the same then. Never throws.
    void stopDrivenDevices();
    // True while a sequence runs.
    bool Busy() const;
    // The drive actions for the host's menus and tool bars, in this order: start
    // temporarily (F5), start permanently (F6), stop (F7), emergency stop (Esc).
    // Each acts as its button does and is enabled only while the button shows;
    // their texts follow the language. Their keys work wherever the focus is in
    // the control's window, and Esc and F7 also while a menu or a dialog of the
    // application has the keyboard. The control owns them.
    QList<QAction*> driveActions() const;
    // The run log's lines as they stand, oldest first (for keeping a run).
    QStringList runLogLines() const;

    // Replaces the 32-bit millisecond clock (tests, scripted runs); an empty
    // function restores the system clock.
    void setClock(std::function<uint32_t()> clock);

    QSize sizeHint() const override;
    // Stop and the emergency stop whole, and a few lines of the run log.
    QSize minimumSizeHint() const override;

  signals:
    // The user clicked the status message of an error: the host explains the number.
    void ErrorMsg(qint32 tavrinErrorCode);
    // The sequence state changed (once per change).
    void stateChanged(TavrinIoCtl::SequenceState state);
    // A value the control read from the ECU while monitoring: the data item's
    // name and unit, its text as shown (a named value's name), its number (NaN
    // when it has none) and the milliseconds since the sequence began. Emitted
    // only while something is connected; the control reads nothing more for it.
    void dataRead(const QString& name, const QString& unit, const QString& valueText, double value, quint32 elapsedMs);
    // An error was shown in the status bar, with its number.
    void errorReported(qint32 number, const QString& text);
    // DrivenDevices changed: a device may now be driven, or its stop was confirmed.
    void drivenDevicesChanged(const QStringList& devices);
    // Busy became true (a sequence began) or false (it ended).
    void busyChanged(bool busy);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The parts and the reactions to the widgets and timers (ioctl_p.h, not installed).
    friend class ioctlPrivate;
    std::unique_ptr<ioctlPrivate> d_;
};

}  // namespace TavrinIoCtl
