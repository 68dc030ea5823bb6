// Makes the control's child widgets at their design placement (twips). Each is
// named after its documented name (members of a widget array share the array's
// name and carry the dynamic property "Index"), typed by "ClassicType" for the
// translation rules, and listed in the order a translation walks them.
#pragma once

#include "ClassicType.h"
#include "ListView.h"
#include "Twips.h"

#include <QGroupBox>
#include <QList>
#include <QPushButton>

namespace TavrinIoCtl {

struct WidgetMaker {
    const TavrinPlatform::TwipsScale& scale;
    QList<QObject*>& translated;

    template <typename W>
    W* make(QWidget* parent, const char* name, const char* type, int index = -1)
    {
        auto* widget = new W(parent);
        widget->setObjectName(QString::fromLatin1(name));
        TavrinPlatform::setClassicType(widget, QString::fromLatin1(type), index);
        translated.append(widget);
        return widget;
    }
    void place(QWidget* widget, double left, double top, double width, double height) const
    {
        widget->setGeometry(scale.toPixels(left, top, width, height));
    }
    TavrinPlatform::ListView* list(QWidget* parent, const char* name)
    {
        return make<TavrinPlatform::ListView>(parent, name, "ListView");
    }
    QPushButton* button(QWidget* parent, const char* name, const char* caption)
    {
        auto* b = make<QPushButton>(parent, name, "CommandButton");
        b->setText(QString::fromUtf8(caption));
        return b;
    }
    int px(double twips) const { return scale.toPixelsX(twips); }
};

}  // namespace TavrinIoCtl
