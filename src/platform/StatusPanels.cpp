#include "StatusPanels.h"

#include <QMouseEvent>
#include <QTime>

namespace TavrinPlatform {

StatusPanel::StatusPanel(const QString& key, QWidget* parent) : QLabel(parent), key_(key)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setContentsMargins(4, 0, 4, 0);
    setObjectName(key.isEmpty() ? QStringLiteral("panelClock") : QStringLiteral("panel") + key);
}

void StatusPanel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) emit clicked(key_);
}

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
}

StatusPanel* StatusPanels::addPanel(const QString& key, const QString& text, int stretch)
{
    auto* panel = new StatusPanel(key, this);
    panel->setText(text);
    if (stretch > 0)
        addWidget(panel, stretch);
    else
        addPermanentWidget(panel);
    connect(panel, &StatusPanel::clicked, this, &StatusPanels::panelClicked);
    panels_.append(panel);
    return panel;
}

void StatusPanels::addKeyboardPanel(const QString& key, const QString& caption)
{
    // Qt offers no portable way to read the lock keys; the panel names the key.
    auto* panel = addPanel(key, caption);
    panel->setEnabled(false);
}

void StatusPanels::addClockPanel()
{
    auto* panel = addPanel(QString(), QTime::currentTime().toString(QStringLiteral("HH:mm")));
    clockTimer_.setInterval(1000);
    connect(&clockTimer_, &QTimer::timeout, panel,
            [panel] { panel->setText(QTime::currentTime().toString(QStringLiteral("HH:mm"))); });
    clockTimer_.start();
}

StatusPanel* StatusPanels::panel(const QString& key) const
{
    for (auto* panel : panels_) {
        if (panel->key() == key) return panel;
    }
    return nullptr;
}

}  // namespace TavrinPlatform
