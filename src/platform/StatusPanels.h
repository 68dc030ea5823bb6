// A status bar of keyed panels, each with a text, a tool tip, a tag and a
// picture; a click on a panel is reported with the panel's key.
#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QVariant>

namespace TavrinPlatform {

class StatusPanel : public QLabel {
    Q_OBJECT
  public:
    StatusPanel(const QString& key, QWidget* parent = nullptr);
    const QString& key() const { return key_; }
    QVariant tag;

  signals:
    void clicked(const QString& key);

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString key_;
};

class StatusPanels : public QStatusBar {
    Q_OBJECT
  public:
    explicit StatusPanels(QWidget* parent = nullptr);

    StatusPanel* addPanel(const QString& key, const QString& text, int stretch = 0);
    // Caps Lock / Num Lock indicators and the time of day, kept by the platform.
    void addKeyboardPanel(const QString& key, const QString& caption);
    void addClockPanel();
    StatusPanel* panel(const QString& key) const;

  signals:
    void panelClicked(const QString& key);

  private:
    QList<StatusPanel*> panels_;
    QTimer clockTimer_;
};

}  // namespace TavrinPlatform
