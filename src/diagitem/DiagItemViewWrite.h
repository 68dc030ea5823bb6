// Shows and edits one data item of a diagnostic session: a label, then a
// drop-down of the item's named values or a numeric editor, then the unit. It
// finds the item by ECU, request and data names, and holds no reference to the
// session once its Session is set to none.
#pragma once

#include <TavrinIoCtl/Sorvik3.h>
#include <TavrinIoCtl/TavrinDiagItemExport.h>

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QDoubleSpinBox;

namespace TavrinDiagItem {

class TAVRINDIAGITEM_EXPORT DiagItemViewWrite : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int LabelWidth READ LabelWidth WRITE setLabelWidth)
    Q_PROPERTY(QString EcuName READ EcuName WRITE setEcuName)
    Q_PROPERTY(QString RequestName READ RequestName WRITE setRequestName)
    Q_PROPERTY(QString DataName READ DataName WRITE setDataName)
    Q_PROPERTY(bool WriteEnabled READ WriteEnabled WRITE setWriteEnabled)
    Q_PROPERTY(short ViewMode READ ViewMode WRITE setViewMode)
  public:
    // An empty view: a label and no editor until Display finds its item.
    explicit DiagItemViewWrite(QWidget* parent = nullptr);
    // Holds no session object past this point; the session is the host's.
    ~DiagItemViewWrite() override;

    // The kinds of view (the 16-bit ViewMode property a host sets).
    enum Mode : short {
        Standard = 0,
        DeviceParameter = 1,  // a compact row that builds itself when it gets a session
    };

    Sorvik3::SessionRef Session() const;
    // None detaches the view and drops every reference; a parameter view
    // (ViewMode 1) builds itself when it gets a session.
    void setSession(Sorvik3::SessionRef session);

    // The width of the label part, in twips.
    int LabelWidth() const;
    void setLabelWidth(int twips);
    // The label text.
    QString Caption() const;
    void setCaption(const QString& caption);
    // The item shown: data DataName of request RequestName of ECU EcuName.
    QString EcuName() const;
    void setEcuName(const QString& name);
    QString RequestName() const;
    void setRequestName(const QString& name);
    QString DataName() const;
    void setDataName(const QString& name);
    // False: the value is shown and cannot be changed.
    bool WriteEnabled() const;
    void setWriteEnabled(bool enabled);
    // A Mode: DeviceParameter for the parameters of a device.
    short ViewMode() const;
    void setViewMode(short mode);

    // Builds the view from the properties set. Never throws: an item that
    // cannot be found shows disabled, with the reason as tool tip.
    Q_INVOKABLE void Display();

    // What the view offers, for tests and scripted runs.
    bool hasNamedValues() const;
    QString valueText() const;
    QString problem() const;
    QString unitText() const;
    QWidget* editor() const;
    // Sets the value as the user would: by name for named values, else by number.
    bool chooseValue(const QString& value);

  signals:
    // The user set a value and the item took it.
    void valueChanged(const QString& valueText);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    Sorvik3::DataRef findData();
    void showProblem(const QString& reason);
    void fillEditor();
    void applyName(int index);
    void applyNumber();
    template <typename Write>
    void apply(Write&& write) noexcept;
    void refreshValue();
    void scaleEditor(const QString& valueText);
    void applyGeometry();
    int roomForLabel() const;
    void updateEnabled();
    void showUnitOnce();
    double twipsPerPixel() const;

    // The view's state: an installed library may change it without its hosts rebuilding.
    struct Private;
    std::unique_ptr<Private> d_;
};

}  // namespace TavrinDiagItem
