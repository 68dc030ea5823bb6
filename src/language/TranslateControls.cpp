#include "TranslateControls.h"

#include "ClassicType.h"
#include "ControlErrors.h"
#include "ListView.h"
#include "MultiLanguage.h"
#include "Sorvik3.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

#include <functional>

namespace TavrinIoCtl {
namespace {

[[noreturn]] void refuse(const QObject* control, const char* property)
{
    throw Sorvik3::Error(number(ControlError::PropertyRefused), "Object '" + control->objectName().toStdString() +
                                                                    "' doesn't support the property " + property);
}

void setCaption(QObject* control, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* frame = qobject_cast<QGroupBox*>(control))
        frame->setTitle(text);
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setText(text);
    else
        refuse(control, "caption");
}

void setToolTip(QObject* control, const QString& text)
{
    if (auto* widget = qobject_cast<QWidget*>(control))
        widget->setToolTip(text);
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setToolTip(text);
    else
        refuse(control, "toolTip");
}

QWidget* widgetOf(QObject* control, const char* property)
{
    auto* widget = qobject_cast<QWidget*>(control);
    if (!widget) refuse(control, property);
    return widget;
}

void setFontName(QObject* control, const QString& text)
{
    QWidget* widget = widgetOf(control, "FontName");
    QFont font = widget->font();
    font.setFamily(text);
    widget->setFont(font);
}

void setFontSize(QObject* control, const QString& text)
{
    bool ok = false;
    const float size = QLocale::c().toFloat(text.trimmed(), &ok);
    if (!ok)
        throw Sorvik3::Error(number(ControlError::NotANumber), "Not a number: FontSize '" + text.toStdString() + "'");
    QWidget* widget = widgetOf(control, "FontSize");
    QFont font = widget->font();
    font.setPointSizeF(size > 0 ? size : font.pointSizeF());
    widget->setFont(font);
}

void setValue(QObject* control, const QString& text)
{
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (!button) refuse(control, "value");
    const bool selected = text == QStringLiteral("1");
    if (selected || !button->isChecked()) {
        button->setChecked(selected);
        return;
    }
    // An exclusive group ignores unchecking its checked member: lift the rule for that one call.
    QButtonGroup* group = button->group();
    const bool groupExclusive = group && group->exclusive();
    const bool autoExclusive = button->autoExclusive();
    if (groupExclusive) group->setExclusive(false);
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(autoExclusive);
    if (groupExclusive) group->setExclusive(true);
}

using Setter = std::function<void(QObject*, const QString&)>;

struct Key {
    const char* name;
    Setter set;
};

const std::vector<Key>& keysOf(const QString& type)
{
    static const std::map<QString, std::vector<Key>> rules = {
        {QStringLiteral("Menu"), {{"caption", setCaption}}},
        {QStringLiteral("OptionButton"), {{"caption", setCaption}, {"toolTip", setToolTip}, {"value", setValue}}},
        {QStringLiteral("ComboBox"), {{"toolTip", setToolTip}}},
        {QStringLiteral("Image"), {{"toolTip", setToolTip}}},
        {QStringLiteral("PictureBox"), {{"toolTip", setToolTip}}},
        {QStringLiteral("TextBox"), {{"toolTip", setToolTip}}},
        {QStringLiteral("Label"), {{"caption", setCaption}, {"toolTip", setToolTip}}},
        {QStringLiteral("Frame"), {{"caption", setCaption}, {"toolTip", setToolTip}}},
        {QStringLiteral("CommandButton"),
         {{"caption", setCaption}, {"toolTip", setToolTip}, {"FontName", setFontName}, {"FontSize", setFontSize}}},
        {QStringLiteral("CheckBox"), {{"caption", setCaption}, {"toolTip", setToolTip}}},
    };
    static const std::vector<Key> none;
    auto rule = rules.find(type);
    return rule == rules.end() ? none : rule->second;
}

struct Walk {
    const multilanguage::Language& language;
    TavrinXml::Node window;

    bool lookUp(const QString& path, QString& text) const { return language.GetLocalizedText(window, path, text); }

    void keyed(QObject* control, const QString& type)
    {
        const bool arrayRule = type == QStringLiteral("OptionButton") || type == QStringLiteral("Menu");
        const int index = arrayRule ? TavrinPlatform::arrayIndex(control) : -1;
        const QString base =
            control->objectName() + (index >= 0 ? QStringLiteral("/item") + QString::number(index) : QString());
        for (const auto& key : keysOf(type)) {
            QString text;
            if (!lookUp(base + QStringLiteral("/") + QString::fromLatin1(key.name), text)) continue;
            if (!arrayRule) {
                key.set(control, text);
                continue;
            }
            try {
                key.set(control, text);
            } catch (...) {
                // option buttons and menus skip a refused key and go on
            }
        }
    }

    void listView(TavrinPlatform::ListView* list)
    {
        for (int column = 0; column < list->columnCount(); ++column) {
            const QString key = list->columnKey(column);
            QString text;
            if (!key.isEmpty() &&
                lookUp(list->objectName() + QStringLiteral("/") + key + QStringLiteral("/text"), text)) {
                list->headerItem()->setText(column, text);
            }
        }
    }

    void tabStrip(QTabBar* tabs)
    {
        for (int i = 0; i < tabs->count(); ++i) {
            const QString key = tabs->tabData(i).toString();
            if (key.isEmpty()) continue;
            const QString base = tabs->objectName() + QStringLiteral("/") + key;
            QString text;
            if (lookUp(base + QStringLiteral("/caption"), text)) tabs->setTabText(i, text);
            if (lookUp(base + QStringLiteral("/toolTip"), text)) tabs->setTabToolTip(i, text);
        }
    }

    void toolbar(QToolBar* bar)
    {
        for (QAction* button : bar->actions()) {
            const QString key = button->property("Key").toString();
            if (key.isEmpty()) continue;
            const QString base = bar->objectName() + QStringLiteral("/") + key;
            QString text;
            if (lookUp(base + QStringLiteral("/toolTip"), text)) button->setToolTip(text);
            if (QMenu* menu = button->menu()) {
                for (QAction* entry : menu->actions()) {
                    const QString path =
                        base + QStringLiteral("/") + entry->property("Key").toString() + QStringLiteral("/text");
                    if (lookUp(path, text)) entry->setText(text);
                }
            }
        }
    }

    void control(QObject* control)
    {
        const QString type = TavrinPlatform::classicType(control);
        if (type == QStringLiteral("ListView")) {
            if (auto* list = qobject_cast<TavrinPlatform::ListView*>(control)) listView(list);
        } else if (type == QStringLiteral("TabStrip")) {
            if (auto* tabs = qobject_cast<QTabBar*>(control)) tabStrip(tabs);
        } else if (type == QStringLiteral("Toolbar")) {
            if (auto* bar = qobject_cast<QToolBar*>(control)) toolbar(bar);
        } else {
            keyed(control, type);
        }
    }
};

}  // namespace

void TranslateControls(const multilanguage::Language& language, const QList<QObject*>& controls,
                       const QString& windowKey)
{
    const auto& document = language.document();
    if (!document) return;
    TavrinXml::Node window = document->selectFirst((QStringLiteral("/software/") + windowKey).toStdString());
    if (window == nullptr) return;
    Walk walk{language, window};
    for (QObject* control : controls)
        walk.control(control);
}

}  // namespace TavrinIoCtl
