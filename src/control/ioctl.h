// The Tavrin Input Output Control: an embeddable widget with which a host
// diagnostic application runs actuator tests on the ECUs of a vehicle through
// KWP2000 InputOutputControlByLocalIdentifier. The host hands it a Session,
// an installation path and a language; errors of the calls the host makes
// reach it as Sorvik3::Error, with number() and description().
#pragma once

#include "Clock.h"
#include "Sorvik3.h"
#include "Twips.h"

#include <QLocale>
#include <QWidget>

#include <memory>

class QTreeWidgetItem;

namespace TavrinIoCtl {

struct Form;
struct ControlFields;

// The control's identity as a component, for hosts that look it up.
namespace Identity {
inline constexpr const char* TypeLibrary = "TavrinIoCtl";
inline constexpr const char* TypeLibraryVersion = "2.0";
inline constexpr const char* HelpString = "Tavrin Input Output Control";
inline constexpr const char* LibraryGuid = "2A3A9AEB-932F-4FF1-8B10-F80AEF150D96";
inline constexpr const char* ClassGuid = "5871EF15-97CA-417D-82BA-3C1373F46E08";
inline constexpr const char* DefaultInterfaceIid = "D9CE74CF-4B03-4183-854F-6BC72074BCC3";
inline constexpr const char* EventInterfaceIid = "F61F2F2F-4A24-4450-A9D5-20DD2B33EF7D";
inline constexpr int32_t DispIdSession = 0x6803000C;
inline constexpr int32_t DispIdInitParameters = 0x60030013;
inline constexpr int32_t DispIdControlVersion = 0x6803000B;
inline constexpr int32_t DispIdAbort = 0x60030014;
inline constexpr int32_t DispIdBusy = 0x6803000A;
inline constexpr int32_t DispIdErrorMsg = 1;
inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 0;
inline constexpr int VersionRevision = 1;
}  // namespace Identity

// major "." minor ".0." revision: 1, 0, 1 gives 1.0.0.1.
QString versionText(int major, int minor, int revision);

class ioctl : public QWidget {
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
    Q_PROPERTY(bool Busy READ Busy)
    Q_PROPERTY(QString ControlVersion READ ControlVersion)

  public:
    explicit ioctl(QWidget* parent = nullptr);
    ~ioctl() override;

    // Host interface.
    Sorvik3::SessionRef Session() const;
    void setSession(Sorvik3::SessionRef newSession);
    void initParameters(const QString& szInstallServer, const QString& szUserInterfaceLanguage,
                        Sorvik3::SessionRef aDiagSession = {});
    QString ControlVersion() const;
    void Abort();
    bool Busy() const;

    // Replaces the 32-bit millisecond clock (tests, scripted runs).
    void setClock(TavrinWidgets::ClockFunction clock);
    // Pin the screen's measures and the user's locale, so figures are the same everywhere.
    void setTwipsScale(TavrinWidgets::TwipsScale scale);
    void setTextMeasure(TavrinWidgets::TextMeasure measure);
    void setUserLocale(const QLocale& locale);

    // For automation and tests: the window and the fields as they stand.
    const Form& form() const;
    const ControlFields& fields() const;

    QSize sizeHint() const override;

  signals:
    void ErrorMsg(qint32 tavrinErrorCode);
    void stateChanged(qint32 state);

  public slots:
    void lvFunctions_ItemClick(QTreeWidgetItem* item);
    void lvDevices_Click();
    void lvFunctions_ColumnClick(int column);
    void lvDevices_ColumnClick(int column);
    void sbMain_PanelClick(const QString& key);
    void cbStartTempo_Click();
    void cbStartPerm_Click();
    void CbStop_Click();
    void cbEstop_Click();
    void cbReadData_Click();
    void ioCtlTimer_Timer();
    void timRun_Timer();
    void ParamVScroll_Change(int value);
    void UserControl_Resize();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void connectEvents();
    void initialise(const QString& szInstallServer, const QString& szUserInterfaceLanguage,
                    Sorvik3::SessionRef aDiagSession);

    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace TavrinIoCtl
