#include "DiagItemViewWrite.h"

#include "Twips.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QResizeEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>
#include <limits>

namespace TavrinDiagItem {
namespace {

// The view's own failure: the item it was told of is not in the session.
constexpr int32_t kNoSuchItem = 0x2001;

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

struct DiagItemViewWrite::Private {
    Sorvik3::SessionRef session;
    Sorvik3::DataRef data;
    QLabel* label = nullptr;
    QComboBox* names = nullptr;
    QDoubleSpinBox* number = nullptr;
    QLabel* unit = nullptr;
    QString ecuName, requestName, dataName, problem;
    int labelWidth = 1200;
    bool writeEnabled = true;
    short viewMode = Standard;
    bool filling = false;
};

DiagItemViewWrite::DiagItemViewWrite(QWidget* parent) : QWidget(parent), d_(std::make_unique<Private>())
{
    d_->label = new QLabel(this);
    d_->names = new QComboBox(this);
    d_->number = new QDoubleSpinBox(this);
    d_->unit = new QLabel(this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(d_->label);
    row->addWidget(d_->names, 1);
    row->addWidget(d_->number, 1);
    row->addWidget(d_->unit);
    row->addStretch(0);
    // Wide panels keep a tidy editor rather than one that runs to the edge.
    d_->names->setMaximumWidth(260);
    d_->number->setMaximumWidth(260);
    d_->label->setObjectName(QStringLiteral("label"));
    d_->names->setObjectName(QStringLiteral("names"));
    d_->number->setObjectName(QStringLiteral("number"));
    d_->unit->setObjectName(QStringLiteral("unit"));
    d_->number->setRange(-2147483648.0, 2147483647.0);
    d_->number->setDecimals(0);
    d_->number->setKeyboardTracking(false);
    d_->names->hide();
    d_->number->hide();
    connect(d_->names, &QComboBox::activated, this, &DiagItemViewWrite::applyName);
    connect(d_->number, &QDoubleSpinBox::valueChanged, this, [this] { applyNumber(); });
    applyGeometry();
}

DiagItemViewWrite::~DiagItemViewWrite() = default;

Sorvik3::SessionRef DiagItemViewWrite::Session() const
{
    return d_->session;
}

int DiagItemViewWrite::LabelWidth() const
{
    return d_->labelWidth;
}

QString DiagItemViewWrite::EcuName() const
{
    return d_->ecuName;
}

void DiagItemViewWrite::setEcuName(const QString& name)
{
    d_->ecuName = name;
}

QString DiagItemViewWrite::RequestName() const
{
    return d_->requestName;
}

void DiagItemViewWrite::setRequestName(const QString& name)
{
    d_->requestName = name;
}

QString DiagItemViewWrite::DataName() const
{
    return d_->dataName;
}

void DiagItemViewWrite::setDataName(const QString& name)
{
    d_->dataName = name;
}

bool DiagItemViewWrite::WriteEnabled() const
{
    return d_->writeEnabled;
}

short DiagItemViewWrite::ViewMode() const
{
    return d_->viewMode;
}

QString DiagItemViewWrite::problem() const
{
    return d_->problem;
}

void DiagItemViewWrite::setSession(Sorvik3::SessionRef session)
{
    d_->session = std::move(session);
    if (!d_->session) {
        d_->data.reset();
        d_->names->clear();
        d_->names->hide();
        d_->number->hide();
        d_->unit->clear();
        return;
    }
    if (d_->viewMode == DeviceParameter) Display();
}

void DiagItemViewWrite::setLabelWidth(int twips)
{
    d_->labelWidth = twips;
    applyGeometry();
}

QString DiagItemViewWrite::Caption() const
{
    return d_->label->text();
}

void DiagItemViewWrite::setCaption(const QString& caption)
{
    d_->label->setText(caption);
    // A screen reader names the editor by its caption, unit included.
    d_->names->setAccessibleName(caption.trimmed());
    d_->number->setAccessibleName(caption.trimmed());
    showUnitOnce();
}

void DiagItemViewWrite::setWriteEnabled(bool enabled)
{
    d_->writeEnabled = enabled;
    updateEnabled();
}

void DiagItemViewWrite::setViewMode(short mode)
{
    d_->viewMode = mode;
    applyGeometry();
}

double DiagItemViewWrite::twipsPerPixel() const
{
    return TavrinPlatform::twipsPerPixel(logicalDpiX());
}

void DiagItemViewWrite::applyGeometry()
{
    const int pixels = static_cast<int>(std::nearbyint(d_->labelWidth / twipsPerPixel()));
    d_->label->setFixedWidth(std::clamp(roomForLabel(), 0, std::max(0, pixels)));
    // The compact row of a device parameter keeps its editors small.
    const int height = d_->viewMode == DeviceParameter ? 20 : 22;
    d_->names->setFixedHeight(height);
    d_->number->setFixedHeight(height);
    showUnitOnce();
}

// On a narrow row the label gives way, so that the editor and the unit beside it stay whole.
int DiagItemViewWrite::roomForLabel() const
{
    if (width() <= 0) return std::numeric_limits<int>::max();
    const QWidget* shown = d_->names->isVisibleTo(this)    ? static_cast<const QWidget*>(d_->names)
                           : d_->number->isVisibleTo(this) ? static_cast<const QWidget*>(d_->number)
                                                           : nullptr;
    const int spacing = layout()->spacing();
    const int editor = shown ? shown->minimumSizeHint().width() + spacing : 0;
    const int unit = d_->unit->text().isEmpty() ? 0 : d_->unit->sizeHint().width() + spacing;
    return width() - editor - unit;
}

void DiagItemViewWrite::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyGeometry();
}

// A caption that names the unit ("Pressure (bar) ") and is shown whole does not
// get it a second time; a cut one keeps the unit beside the value, and its tool tip.
void DiagItemViewWrite::showUnitOnce()
{
    const QString unit = d_->unit->text();
    // The blank that ends every caption may be cut: the caption is whole without it.
    const QString caption = d_->label->text().trimmed();
    const bool captionWhole = d_->label->fontMetrics().horizontalAdvance(caption) <= d_->label->contentsRect().width();
    const bool named = !unit.isEmpty() && caption.contains(QStringLiteral("(") + unit + QStringLiteral(")"));
    d_->unit->setVisible(!unit.isEmpty() && !(named && captionWhole));
    d_->label->setToolTip(captionWhole ? QString() : caption);
}

void DiagItemViewWrite::updateEnabled()
{
    const bool usable = d_->data != nullptr;
    d_->names->setEnabled(usable && d_->writeEnabled);
    d_->number->setEnabled(usable && d_->writeEnabled);
}

Sorvik3::DataRef DiagItemViewWrite::findData()
{
    if (!d_->session) throw Sorvik3::Error(kNoSuchItem, "No session");
    for (const auto& ecu : d_->session->Ecus()) {
        if (ecu && ecu->Name() == d_->ecuName.toStdString()) {
            return ecu->Request(d_->requestName.toStdString())->Data(d_->dataName.toStdString());
        }
    }
    throw Sorvik3::Error(kNoSuchItem, "No ECU named '" + d_->ecuName.toStdString() + "'");
}

void DiagItemViewWrite::Display()
{
    d_->data.reset();
    d_->problem.clear();
    setToolTip(QString());
    try {
        d_->data = findData();
        fillEditor();
    } catch (const Sorvik3::Error& error) {
        showProblem(fromUtf8(error.description()));
    } catch (const std::exception& error) {
        showProblem(QString::fromLocal8Bit(error.what()));
    }
    updateEnabled();
}

void DiagItemViewWrite::showProblem(const QString& reason)
{
    d_->data.reset();
    d_->problem = reason;
    setToolTip(reason);
    d_->names->hide();
    d_->number->show();
    d_->label->setBuddy(d_->number);
    d_->number->setSpecialValueText(QStringLiteral("-"));
    d_->unit->clear();
}

void DiagItemViewWrite::fillEditor()
{
    {
        const QScopedValueRollback filling(d_->filling, true);  // back to false even when the library throws
        auto list = d_->data->NumericList();
        d_->names->clear();
        if (list) {
            for (int32_t i = 0; i <= list->LastIndex(); ++i)
                d_->names->addItem(fromUtf8(list->Item(i)));
        }
        d_->names->setVisible(list != nullptr);
        d_->number->setVisible(list == nullptr);
        // The caption labels the editor shown: a screen reader then names a list
        // of values by it, not by the value it holds.
        d_->label->setBuddy(editor());
        d_->unit->setText(fromUtf8(d_->data->Unit()));
        showUnitOnce();
        if (!list) scaleEditor(fromUtf8(d_->data->ValueText()));
    }
    refreshValue();
}

// The editor shows as many decimals as the item's own value text, and steps by its last one.
void DiagItemViewWrite::scaleEditor(const QString& valueText)
{
    const qsizetype point = valueText.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : static_cast<int>(std::min<qsizetype>(valueText.size() - point - 1, 6));
    d_->number->setDecimals(decimals);
    d_->number->setSingleStep(std::pow(10.0, -decimals));
}

void DiagItemViewWrite::refreshValue()
{
    if (!d_->data) return;
    const QScopedValueRollback filling(d_->filling, true);
    try {
        if (d_->names->isVisibleTo(this)) {
            d_->names->setCurrentIndex(d_->names->findText(fromUtf8(d_->data->ValueText())));
        } else {
            const double value = d_->data->NumericValue();
            d_->number->setValue(std::isfinite(value) ? value : 0.0);
        }
    } catch (const std::exception& error) {
        setToolTip(QString::fromLocal8Bit(error.what()));
    }
}

// The user's edits arrive in event handlers: whatever the session library
// throws is shown on the item and never reaches the event loop.
template <typename Write>
void DiagItemViewWrite::apply(Write&& write) noexcept
{
    try {
        write();
        setToolTip(QString());
        emit valueChanged(valueText());
        return;
    } catch (const Sorvik3::Error& error) {
        setToolTip(fromUtf8(error.description()));
    } catch (const std::exception& error) {
        setToolTip(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        setToolTip(tr("The value was refused"));
    }
    refreshValue();
}

void DiagItemViewWrite::applyName(int index)
{
    if (d_->filling || !d_->data || index < 0) return;
    apply([&] { d_->data->setValueName(d_->names->itemText(index).toStdString()); });
}

void DiagItemViewWrite::applyNumber()
{
    if (d_->filling || !d_->data) return;
    apply([&] { d_->data->setPhysicalValue(d_->number->value()); });
}

bool DiagItemViewWrite::hasNamedValues() const
{
    return d_->data && d_->names->isVisibleTo(this);
}

QString DiagItemViewWrite::valueText() const
{
    if (!d_->data) return {};
    try {
        return fromUtf8(d_->data->ValueText());
    } catch (const std::exception&) {
        return {};
    }
}

QString DiagItemViewWrite::unitText() const
{
    return d_->unit->text();
}

QWidget* DiagItemViewWrite::editor() const
{
    return hasNamedValues() ? static_cast<QWidget*>(d_->names) : d_->number;
}

bool DiagItemViewWrite::chooseValue(const QString& value)
{
    if (!d_->data || !d_->writeEnabled) return false;
    const QString before = valueText();
    if (hasNamedValues()) {
        const int index = d_->names->findText(value);
        if (index < 0) return false;
        d_->names->setCurrentIndex(index);
        applyName(index);
    } else {
        bool ok = false;
        const double number = QLocale::c().toDouble(value, &ok);
        if (!ok) return false;
        if (d_->number->value() == number)
            applyNumber();
        else
            d_->number->setValue(number);  // applies it through valueChanged
    }
    return toolTip().isEmpty() || valueText() != before;
}

}  // namespace TavrinDiagItem
