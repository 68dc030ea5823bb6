#include "PictureBox.h"

#include <QPaintEvent>
#include <QPainter>

namespace TavrinPlatform {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    // It paints all of its own area: what lies under it need not be painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::drawPicture(const QPixmap& picture, QPoint at)
{
    const QSize needed(std::max(width(), at.x() + picture.width()), std::max(height(), at.y() + picture.height()));
    if (image_.size() != needed) {
        QPixmap grown(needed);
        grown.fill(Qt::transparent);
        if (!image_.isNull()) QPainter(&grown).drawPixmap(0, 0, image_);
        image_ = grown;
    }
    // The picture replaces what its rectangle held: an animation frame with
    // transparent parts must not show the frames drawn before it.
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(at, picture);
    painter.end();
    update();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().brush(backgroundRole()));
    if (!image_.isNull()) painter.drawPixmap(0, 0, image_);
}

void ImageList::add(const QString& key, const QPixmap& picture)
{
    pictures_.append({key, picture});
}

QPixmap ImageList::image(const QString& key) const
{
    for (const auto& [name, picture] : pictures_) {
        if (name == key) return picture;
    }
    return {};
}

QPixmap ImageList::image(int oneBasedIndex) const
{
    return oneBasedIndex >= 1 && oneBasedIndex <= count() ? pictures_[oneBasedIndex - 1].second : QPixmap();
}

}  // namespace TavrinPlatform
