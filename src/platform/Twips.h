// Twips (1/1440 inch) and screen pixels. The control's geometry is computed in
// twips and applied in pixels; the factors come from the screen and can be
// fixed, so tests see the same figures on every machine.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include <cmath>
#include <cstdint>
#include <functional>

class QWidget;

namespace TavrinPlatform {

// Whole numbers from measurements: nearest, halves to even.
inline int32_t roundHalfEven(double value)
{
    const double r = std::nearbyint(value);  // default rounding mode: to nearest, ties to even
    if (r >= 2147483647.0) return INT32_MAX;
    if (r <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(r);
}

// Twips per screen pixel at a logical resolution: 1440 twips make an inch;
// a screen that tells no resolution counts as 96 dots an inch.
inline double twipsPerPixel(double logicalDpi)
{
    return 1440.0 / (logicalDpi > 0 ? logicalDpi : 96.0);
}

struct TwipsScale {
    double perPixelX = 15.0;
    double perPixelY = 15.0;

    static TwipsScale ofWidget(const QWidget* widget);

    int toPixelsX(double twips) const { return roundHalfEven(twips / perPixelX); }
    int toPixelsY(double twips) const { return roundHalfEven(twips / perPixelY); }
    double fromPixelsX(int pixels) const { return pixels * perPixelX; }
    double fromPixelsY(int pixels) const { return pixels * perPixelY; }
    QRect toPixels(double left, double top, double width, double height) const;
};

// Width of a text in a font, in pixels; replaceable so layouts can be pinned in tests.
using TextMeasure = std::function<int(const QFont&, const QString&)>;
int measureWithFontMetrics(const QFont& font, const QString& text);

}  // namespace TavrinPlatform
