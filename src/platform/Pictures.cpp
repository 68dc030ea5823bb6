#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace TavrinPlatform::Pictures {
namespace {

QPixmap canvas(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap led(const QColor& colour)
{
    QPixmap pixmap = canvas(12, 12);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(4.5, 4.5), 7);
    glow.setColorAt(0, colour.lighter(170));
    glow.setColorAt(1, colour.darker(130));
    p.setBrush(glow);
    p.setPen(QPen(colour.darker(200), 1));
    p.drawEllipse(QRectF(1, 1, 10, 10));
    return pixmap;
}

QPixmap runningFrame(int frame)
{
    QPixmap pixmap = canvas(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(8, 8);
    p.rotate(22.5 * frame);
    for (int spoke = 0; spoke < 4; ++spoke) {
        p.setPen(QPen(spoke == 0 ? QColor(0, 120, 215) : QColor(120, 120, 120), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, -2), QPointF(0, -7));
        p.rotate(90);
    }
    return pixmap;
}

QPixmap stopSign()
{
    QPixmap pixmap = canvas(40, 40);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const double a = (22.5 + 45.0 * i) * std::numbers::pi / 180.0;
        octagon << QPointF(20 + 19 * std::cos(a), 20 + 19 * std::sin(a));
    }
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(200, 20, 20));
    p.drawPolygon(octagon);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 40, 40), Qt::AlignCenter, QStringLiteral("STOP"));
    return pixmap;
}

QPixmap emergencyStop()
{
    QPixmap pixmap = canvas(44, 44);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 0));
    p.drawEllipse(QRectF(1, 1, 42, 42));
    QRadialGradient mushroom(QPointF(18, 18), 16);
    mushroom.setColorAt(0, QColor(255, 90, 90));
    mushroom.setColorAt(1, QColor(160, 0, 0));
    p.setBrush(mushroom);
    p.setPen(QPen(QColor(90, 0, 0), 1));
    p.drawEllipse(QRectF(8, 8, 28, 28));
    return pixmap;
}

}  // namespace TavrinPlatform::Pictures
