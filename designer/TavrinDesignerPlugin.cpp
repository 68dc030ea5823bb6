#include "TavrinDesignerPlugin.h"

#include "DiagItemViewWrite.h"
#include <TavrinIoCtl/ioctl.h>

#include <QPainter>

TavrinWidgetEntry::TavrinWidgetEntry(Description description, QObject* parent)
    : QObject(parent), d_(std::move(description))
{}

// A small picture of the widget: a frame in the widget's colour with two rows.
QIcon TavrinWidgetEntry::icon() const
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(d_.colour.darker(150), 2));
    p.setBrush(d_.colour.lighter(160));
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 3, 3);
    p.setPen(QPen(d_.colour.darker(180), 2));
    p.drawLine(QPointF(8, 13), QPointF(24, 13));
    p.drawLine(QPointF(8, 19), QPointF(18, 19));
    return QIcon(picture);
}

namespace {

QString domXml(const QString& className, const QString& name, int width, int height)
{
    return QStringLiteral("<ui language=\"c++\"><widget class=\"%1\" name=\"%2\"><property name=\"geometry\">"
                          "<rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect></property>"
                          "</widget></ui>")
        .arg(className, name)
        .arg(width)
        .arg(height);
}

}  // namespace

TavrinDesignerPlugin::TavrinDesignerPlugin(QObject* parent) : QObject(parent)
{
    widgets_
        << new TavrinWidgetEntry({QStringLiteral("TavrinIoCtl::ioctl"), QStringLiteral("TavrinIoCtl/ioctl.h"),
                                  QStringLiteral("Tavrin Input Output Control: actuator tests over KWP2000"),
                                  domXml(QStringLiteral("TavrinIoCtl::ioctl"), QStringLiteral("ioctl"), 1000, 680),
                                  QColor(0, 120, 215), [](QWidget* parent) { return new TavrinIoCtl::ioctl(parent); }},
                                 this)
        << new TavrinWidgetEntry(
               {QStringLiteral("TavrinDiagItem::DiagItemViewWrite"), QStringLiteral("TavrinIoCtl/DiagItemViewWrite.h"),
                QStringLiteral("Shows and edits one data item of a diagnostic session"),
                domXml(QStringLiteral("TavrinDiagItem::DiagItemViewWrite"), QStringLiteral("diagItemView"), 360, 24),
                QColor(40, 160, 80), [](QWidget* parent) { return new TavrinDiagItem::DiagItemViewWrite(parent); }},
               this);
}
