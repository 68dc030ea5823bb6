#include "Twips.h"

#include <QFontMetrics>
#include <QWidget>

namespace TavrinPlatform {

TwipsScale TwipsScale::ofWidget(const QWidget* widget)
{
    return widget ? TwipsScale{twipsPerPixel(widget->logicalDpiX()), twipsPerPixel(widget->logicalDpiY())}
                  : TwipsScale{twipsPerPixel(0), twipsPerPixel(0)};
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
