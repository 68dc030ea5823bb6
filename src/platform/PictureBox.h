// A picture box: a surface that keeps what is drawn into it and can hold
// children (the parameter panel scrolls one picture box inside another).
#pragma once

#include <QPixmap>
#include <QWidget>

namespace TavrinPlatform {

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);
    // Draws the picture at a point; it replaces what its rectangle held, the
    // rest of the surface keeps what was drawn before.
    void drawPicture(const QPixmap& picture, QPoint at);
    const QPixmap& image() const { return image_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap image_;
};

class ImageList : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    void add(const QString& key, const QPixmap& picture);
    QPixmap image(const QString& key) const;
    QPixmap image(int oneBasedIndex) const;
    int count() const { return static_cast<int>(pictures_.size()); }

  private:
    QList<QPair<QString, QPixmap>> pictures_;
};

}  // namespace TavrinPlatform
