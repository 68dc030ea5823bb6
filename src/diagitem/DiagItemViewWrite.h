// Shows and edits one data item of a diagnostic session: a label, then a
// drop-down of the item's named values or a numeric editor, then the unit. It
// finds the item by ECU, request and data names, and holds no reference to the
// session once its Session is set to none.
#pragma once

#include "Sorvik3.h"
#include "TavrinDiagItemExport.h"

#include <QWidget>

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

    Sorvik3::SessionRef Session() const { return session_; }
    // None detaches the view and drops every reference; a parameter view
    // (ViewMode 1) builds itself when it gets a session.
    void setSession(Sorvik3::SessionRef session);

    // The width of the label part, in twips.
    int LabelWidth() const { return labelWidth_; }
    void setLabelWidth(int twips);
    // The label text.
    QString Caption() const;
    void setCaption(const QString& caption);
    // The item shown: data DataName of request RequestName of ECU EcuName.
    QString EcuName() const { return ecuName_; }
    void setEcuName(const QString& name) { ecuName_ = name; }
    QString RequestName() const { return requestName_; }
    void setRequestName(const QString& name) { requestName_ = name; }
    QString DataName() const { return dataName_; }
    void setDataName(const QString& name) { dataName_ = name; }
    // False: the value is shown and cannot be changed.
    bool WriteEnabled() const { return writeEnabled_; }
    void setWriteEnabled(bool enabled);
    // 1 for a device parameter: a compact row that builds itself when it gets a session.
    short ViewMode() const { return viewMode_; }
    void setViewMode(short mode);

    // Builds the view from the properties set. Never throws: an item that
    // cannot be found shows disabled, with the reason as tool tip.
    Q_INVOKABLE void Display();

    // What the view offers, for tests and scripted runs.
    bool hasNamedValues() const;
    QString valueText() const;
    QString problem() const { return problem_; }
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

    Sorvik3::SessionRef session_;
    Sorvik3::DataRef data_;
    QLabel* label_;
    QComboBox* names_;
    QDoubleSpinBox* number_;
    QLabel* unit_;
    QString ecuName_, requestName_, dataName_, problem_;
    int labelWidth_ = 1200;
    bool writeEnabled_ = true;
    short viewMode_ = 0;
    bool filling_ = false;
};

}  // namespace TavrinDiagItem
