#include "DiagItemViewWrite.h"

#include "Twips.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QDoubleSpinBox>
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

DiagItemViewWrite::DiagItemViewWrite(QWidget* parent)
    : QWidget(parent), label_(new QLabel(this)), names_(new QComboBox(this)), number_(new QDoubleSpinBox(this)),
      unit_(new QLabel(this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(label_);
    row->addWidget(names_, 1);
    row->addWidget(number_, 1);
    row->addWidget(unit_);
    row->addStretch(0);
    // Wide panels keep a tidy editor rather than one that runs to the edge.
    names_->setMaximumWidth(260);
    number_->setMaximumWidth(260);
    label_->setObjectName(QStringLiteral("label"));
    names_->setObjectName(QStringLiteral("names"));
    number_->setObjectName(QStringLiteral("number"));
    unit_->setObjectName(QStringLiteral("unit"));
    number_->setRange(-2147483648.0, 2147483647.0);
    number_->setDecimals(0);
    number_->setKeyboardTracking(false);
    names_->hide();
    number_->hide();
    connect(names_, &QComboBox::activated, this, &DiagItemViewWrite::applyName);
    connect(number_, &QDoubleSpinBox::valueChanged, this, [this] { applyNumber(); });
    applyGeometry();
}

DiagItemViewWrite::~DiagItemViewWrite() = default;

void DiagItemViewWrite::setSession(Sorvik3::SessionRef session)
{
    session_ = std::move(session);
    if (!session_) {
        data_.reset();
        names_->clear();
        names_->hide();
        number_->hide();
        unit_->clear();
        return;
    }
    if (viewMode_ == 1) Display();
}

void DiagItemViewWrite::setLabelWidth(int twips)
{
    labelWidth_ = twips;
    applyGeometry();
}

QString DiagItemViewWrite::Caption() const
{
    return label_->text();
}

void DiagItemViewWrite::setCaption(const QString& caption)
{
    label_->setText(caption);
    // A screen reader names the editor by its caption, unit included.
    names_->setAccessibleName(caption.trimmed());
    number_->setAccessibleName(caption.trimmed());
    showUnitOnce();
}

void DiagItemViewWrite::setWriteEnabled(bool enabled)
{
    writeEnabled_ = enabled;
    updateEnabled();
}

void DiagItemViewWrite::setViewMode(short mode)
{
    viewMode_ = mode;
    applyGeometry();
}

double DiagItemViewWrite::twipsPerPixel() const
{
    return TavrinPlatform::twipsPerPixel(logicalDpiX());
}

void DiagItemViewWrite::applyGeometry()
{
    const int pixels = static_cast<int>(std::nearbyint(labelWidth_ / twipsPerPixel()));
    label_->setFixedWidth(std::clamp(roomForLabel(), 0, std::max(0, pixels)));
    // The compact row of a device parameter keeps its editors small.
    const int height = viewMode_ == 1 ? 20 : 22;
    names_->setFixedHeight(height);
    number_->setFixedHeight(height);
    showUnitOnce();
}

// On a narrow row the label gives way, so that the editor and the unit beside it stay whole.
int DiagItemViewWrite::roomForLabel() const
{
    if (width() <= 0) return std::numeric_limits<int>::max();
    const QWidget* shown = names_->isVisibleTo(this) ? static_cast<const QWidget*>(names_)
                           : number_->isVisibleTo(this) ? static_cast<const QWidget*>(number_)
                                                        : nullptr;
    const int spacing = layout()->spacing();
    const int editor = shown ? shown->minimumSizeHint().width() + spacing : 0;
    const int unit = unit_->text().isEmpty() ? 0 : unit_->sizeHint().width() + spacing;
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
    const QString unit = unit_->text();
    // The blank that ends every caption may be cut: the caption is whole without it.
    const QString caption = label_->text().trimmed();
    const bool captionWhole = label_->fontMetrics().horizontalAdvance(caption) <= label_->contentsRect().width();
    const bool named = !unit.isEmpty() && caption.contains(QStringLiteral("(") + unit + QStringLiteral(")"));
    unit_->setVisible(!unit.isEmpty() && !(named && captionWhole));
    label_->setToolTip(captionWhole ? QString() : caption);
}

void DiagItemViewWrite::updateEnabled()
{
    const bool usable = data_ != nullptr;
    names_->setEnabled(usable && writeEnabled_);
    number_->setEnabled(usable && writeEnabled_);
}

Sorvik3::DataRef DiagItemViewWrite::findData()
{
    if (!session_) throw Sorvik3::Error(kNoSuchItem, "No session");
    for (const auto& ecu : session_->Ecus()) {
        if (ecu && ecu->Name() == ecuName_.toStdString()) {
            return ecu->Request(requestName_.toStdString())->Data(dataName_.toStdString());
        }
    }
    throw Sorvik3::Error(kNoSuchItem, "No ECU named '" + ecuName_.toStdString() + "'");
}

void DiagItemViewWrite::Display()
{
    data_.reset();
    problem_.clear();
    setToolTip(QString());
    try {
        data_ = findData();
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
    data_.reset();
    problem_ = reason;
    setToolTip(reason);
    names_->hide();
    number_->show();
    number_->setSpecialValueText(QStringLiteral("-"));
    unit_->clear();
}

void DiagItemViewWrite::fillEditor()
{
    {
        const QScopedValueRollback filling(filling_, true);  // back to false even when the library throws
        auto list = data_->NumericList();
        names_->clear();
        if (list) {
            for (int32_t i = 0; i <= list->LastIndex(); ++i)
                names_->addItem(fromUtf8(list->Item(i)));
        }
        names_->setVisible(list != nullptr);
        number_->setVisible(list == nullptr);
        unit_->setText(fromUtf8(data_->Unit()));
        showUnitOnce();
        if (!list) scaleEditor(fromUtf8(data_->ValueText()));
    }
    refreshValue();
}

// The editor shows as many decimals as the item's own value text, and steps by its last one.
void DiagItemViewWrite::scaleEditor(const QString& valueText)
{
    const qsizetype point = valueText.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : static_cast<int>(std::min<qsizetype>(valueText.size() - point - 1, 6));
    number_->setDecimals(decimals);
    number_->setSingleStep(std::pow(10.0, -decimals));
}

void DiagItemViewWrite::refreshValue()
{
    if (!data_) return;
    const QScopedValueRollback filling(filling_, true);
    try {
        if (names_->isVisibleTo(this)) {
            names_->setCurrentIndex(names_->findText(fromUtf8(data_->ValueText())));
        } else {
            const double value = data_->NumericValue();
            number_->setValue(std::isfinite(value) ? value : 0.0);
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
    if (filling_ || !data_ || index < 0) return;
    apply([&] { data_->setValueName(names_->itemText(index).toStdString()); });
}

void DiagItemViewWrite::applyNumber()
{
    if (filling_ || !data_) return;
    apply([&] { data_->setPhysicalValue(number_->value()); });
}

bool DiagItemViewWrite::hasNamedValues() const
{
    return data_ && names_->isVisibleTo(this);
}

QString DiagItemViewWrite::valueText() const
{
    if (!data_) return {};
    try {
        return fromUtf8(data_->ValueText());
    } catch (const std::exception&) {
        return {};
    }
}

QString DiagItemViewWrite::unitText() const
{
    return unit_->text();
}

QWidget* DiagItemViewWrite::editor() const
{
    return hasNamedValues() ? static_cast<QWidget*>(names_) : number_;
}

bool DiagItemViewWrite::chooseValue(const QString& value)
{
    if (!data_ || !writeEnabled_) return false;
    const QString before = valueText();
    if (hasNamedValues()) {
        const int index = names_->findText(value);
        if (index < 0) return false;
        names_->setCurrentIndex(index);
        applyName(index);
    } else {
        bool ok = false;
        const double number = QLocale::c().toDouble(value, &ok);
        if (!ok) return false;
        if (number_->value() == number)
            applyNumber();
        else
            number_->setValue(number);  // applies it through valueChanged
    }
    return toolTip().isEmpty() || valueText() != before;
}

}  // namespace TavrinDiagItem
