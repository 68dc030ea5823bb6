#include "Twips.h"

#include <QFontMetrics>
#include <QWidget>

namespace TavrinPlatform {

TwipsScale TwipsScale::ofWidget(const QWidget* widget)
{
    const double dpiX = widget ? widget->logicalDpiX() : 96.0;
    const double dpiY = widget ? widget->logicalDpiY() : 96.0;
    return TwipsScale{1440.0 / (dpiX > 0 ? dpiX : 96.0), 1440.0 / (dpiY > 0 ? dpiY : 96.0)};
}

QRect TwipsScale::toPixels(double left, double top, double width, double height) const
{
    return QRect(toPixelsX(left), toPixelsY(top), std::max(0, toPixelsX(width)), std::max(0, toPixelsY(height)));
}

int measureWithFontMetrics(const QFont& font, const QString& text)
{
    return QFontMetrics(font).horizontalAdvance(text);
}

}  // namespace TavrinPlatform
