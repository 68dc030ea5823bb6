#include "Reporting.h"

#include <QAccessible>

namespace TavrinIoCtl {

const QString Reporting::kWelcome = QStringLiteral("Welcome to Tavrin InputOutputControlByLocalIdentifier module");

void Reporting::LogMessage(const QString& text, Show show, int32_t errorCode)
{
    w_.runLog->append(text);
    if (show != Show::InStatus) return;
    auto* panel = w_.sbMain->panel(QStringLiteral("MSG"));
    panel->setText(text);
    panel->tag = errorCode;
    if (errorCode != 0) {
        if (onError) onError(errorCode, text);
        panel->setToolTip(errorHint());
        // The new text is read out as it comes (a label tells its change); an error is also an alert.
        QAccessibleEvent alert(panel, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

void Reporting::ClearLog()
{
    w_.runLog->clear();
    auto* panel = w_.sbMain->panel(QStringLiteral("MSG"));
    panel->setText(message(QStringLiteral("Messages/Welcome"), kWelcome));
    panel->tag = 0;
    panel->setToolTip(QString());
}

void Reporting::showState(const QString& text)
{
    w_.sbMain->panel(QStringLiteral("DIAG"))->setText(text);
}

void Reporting::SetBusy(bool busy)
{
    const bool changed = fields_.Busy != busy;
    fields_.Busy = busy;
    showLed();
    if (changed && onBusy) onBusy(busy);
}

void Reporting::setDrivenWarning(bool warn)
{
    if (warn == drivenWarning_) return;
    drivenWarning_ = warn;
    showLed();
}

void Reporting::showLed()
{
    const QString colour = fields_.Busy     ? QStringLiteral("Red")
                           : drivenWarning_ ? QStringLiteral("Amber")
                                            : QStringLiteral("Green");
    const QPixmap led = w_.ilstLeds->image(colour);
    const auto scale = TavrinPlatform::TwipsScale::ofWidget(w_.picLed);
    w_.picLed->drawPicture(led, QPoint(scale.toPixelsX(60), scale.toPixelsY(60)));
    auto* panel = w_.sbMain->panel(QStringLiteral("Led"));
    panel->setPixmap(w_.picLed->image());
    const QString meaning = ledMeaning ? ledMeaning(colour) : colour;
    if (panel->accessibleName() != meaning) {
        panel->setAccessibleName(meaning);
        w_.picLed->setAccessibleName(meaning);
        QAccessibleEvent changed(panel, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
    // Painted at the next turn of the event loop, which the window's thread never
    // holds up: painting the bar there and then cost a seventh of initParameters.
    w_.sbMain->update();
}

std::optional<int32_t> Reporting::errorOfPanelClick(const QString& key) const
{
    if (key != QStringLiteral("MSG")) return std::nullopt;
    const QVariant tag = w_.sbMain->panel(key)->tag;
    bool ok = false;
    const int32_t code = tag.toInt(&ok);
    if (!tag.isValid() || !ok || code == 0) return std::nullopt;
    return code;
}

void Reporting::reportEscaped(const char* handlerName, const Failure& failure) noexcept
{
    try {
        LogMessage(QStringLiteral("Error in %1 : %2").arg(QString::fromLatin1(handlerName), failure.description),
                   Show::InStatus, failure.number);
    } catch (...) {
        // Reporting itself failed (out of memory); nothing more can be shown.
    }
}

}  // namespace TavrinIoCtl
