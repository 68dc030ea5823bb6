// The demo in French and German shows no English text of its own: menus, the
// control's captions and headings, the status bar, the Connect dialog and Qt's
// file dialog. Log lines, state names, names from the vehicle and the words a
// language shares with English are left out.
#include "ConnectDialog.h"
#include "DemoWindow.h"
#include "ErrorDetails.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << texts.join(" ; ").toStdString();
}

// Where texts are the system's own (log lines, state names, the version) or the vehicle's.
bool leftOut(const QWidget* widget)
{
    static const QStringList names = {"runLog",   "panelMSG",   "panelDIAG", "panelVERSION", "panelMaj",
                                      "panelNum", "panelClock", "plot",      "DeviceParam"};
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (names.contains(widget->objectName())) return true;
    }
    return false;
}

void addMenu(const QString& where, const QList<QAction*>& actions, QMap<QString, QString>& texts)
{
    for (int i = 0; i < actions.size(); ++i) {
        const QString key = where + "/" + QString::number(i);
        if (!actions[i]->text().isEmpty()) texts.insert(key, actions[i]->text());
        if (actions[i]->menu()) addMenu(key, actions[i]->menu()->actions(), texts);
    }
}

// Every text a user reads in the window, keyed by where it stands.
QMap<QString, QString> textsOf(QWidget& window)
{
    QMap<QString, QString> texts;
    texts.insert("title", window.windowTitle());
    for (auto* bar : window.findChildren<QMenuBar*>())
        addMenu("menu", bar->actions(), texts);
    const auto add = [&texts](const QWidget* widget, const QString& what, const QString& text) {
        if (!text.trimmed().isEmpty() && !leftOut(widget)) texts.insert(widget->objectName() + "/" + what, text);
    };
    int unnamed = 0;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        // Members of a widget array share a name; unnamed widgets are told apart by their order.
        const QVariant index = widget->property("Index");
        const QString tag = widget->objectName().isEmpty() ? QString::number(unnamed++)
                            : index.isValid()              ? index.toString()
                                                           : QString();
        // The session's values are the vehicle's.
        if (auto* box = qobject_cast<QComboBox*>(widget);
            box && widget->parentWidget()->objectName() != "DiSessionName") {
            for (int i = 0; i < box->count(); ++i)
                add(widget, tag + "item" + QString::number(i), box->itemText(i));
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) add(widget, tag + "text", label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) add(widget, tag + "text", button->text());
        if (auto* box = qobject_cast<QGroupBox*>(widget)) add(widget, "title", box->title());
        if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
            for (int column = 0; column < tree->columnCount(); ++column)
                add(widget, "heading" + QString::number(column), tree->headerItem()->text(column));
        }
        if (!widget->toolTip().isEmpty()) add(widget, tag + "tip", widget->toolTip());
    }
    return texts;
}

// Words that are the same in the language and in English, or names: numbers,
// paths, CAN interfaces ("CAN: PLUGIN INTERFACE" is German as well).
bool shared(const QString& text)
{
    if (text.startsWith('/') || text.startsWith("CAN: ")) return true;
    static const QStringList same = {"Communication", "Session",  "Parameter", "Name", "Id",     "T",  "P",
                                     "English",       "Français", "Deutsch",   "OK",   "Status", "&OK"};
    bool number = false;
    text.toDouble(&number);
    return number || same.contains(text.trimmed());
}

QStringList untranslated(const QMap<QString, QString>& english, const QMap<QString, QString>& other)
{
    QStringList found;
    for (auto it = other.cbegin(); it != other.cend(); ++it) {
        if (english.value(it.key()) == it.value() && !shared(it.value())) found << it.key() + ": " + it.value();
    }
    return found;
}

struct Window {
    explicit Window(const char* code)
        : language(QLatin1String(code)), instant{0, 0}, window(QStringLiteral(TAVRIN_DATA_DIR), language, instant, true)
    {
        window.resize(1100, 720);
        window.show();
        window.start(openVehicle(QString(), instant));
        auto* functions = window.control()->findChild<QTreeWidget*>("lvFunctions");
        functions->setCurrentItem(functions->topLevelItem(0));
        QTest::keyClick(functions, Qt::Key_Return);
        auto* devices = window.control()->findChild<QTreeWidget*>("lvDevices");
        devices->setCurrentItem(devices->topLevelItem(0));
        QTest::keyClick(devices, Qt::Key_Return);
    }
    QMap<QString, QString> texts() { return textsOf(window); }
    QMap<QString, QString> connectTexts()
    {
        ConnectDialog dialog(
            QStringLiteral("sim"), [](const QString&) { return nullptr; }, &window);
        savePicture(dialog, "connect");
        return textsOf(dialog);
    }
    QMap<QString, QString> fileDialogTexts()
    {
        QFileDialog dialog(&window);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        savePicture(dialog, "file");
        return textsOf(dialog);
    }
    // TAVRIN_PICTURES=DIR: a picture of the dialog, for looking at.
    void savePicture(QWidget& dialog, const char* name)
    {
        const QByteArray folder = qgetenv("TAVRIN_PICTURES");
        if (folder.isEmpty()) return;
        dialog.show();
        dialog.grab().save(
            QStringLiteral("%1/dialog-%2-%3.png").arg(QString::fromLocal8Bit(folder), QLatin1String(name), language));
    }
    QString language;
    LineTiming instant;
    DemoWindow window;
};

TEST(DemoLanguage, shouldShowNoEnglishTextInFrenchOrGerman)
{
    QMap<QString, QString> english, connectEnglish, fileEnglish;
    {
        Window en("en");
        english = en.texts();
        connectEnglish = en.connectTexts();
        fileEnglish = en.fileDialogTexts();
    }
    ASSERT_GT(english.size(), 40);
    for (const char* language : {"fr", "de"}) {
        Window other(language);
        EXPECT_EQ(untranslated(english, other.texts()), QStringList()) << language << ": the window";
        EXPECT_EQ(untranslated(connectEnglish, other.connectTexts()), QStringList()) << language << ": Connect";
        EXPECT_EQ(untranslated(fileEnglish, other.fileDialogTexts()), QStringList()) << language << ": file dialog";
    }
}

}  // namespace

namespace {

// The refusals a session or security access brings (ISO 14229's codes beside
// KWP2000's) are explained in words, in the user's language.
TEST(ErrorDetails, shouldExplainEachSessionAndSecurityRefusalInTheUsersLanguage)
{
    const QString fallback = errorDetails(0xFE, QString()).section(QLatin1Char('\n'), -1);
    for (const int code : {0x24, 0x35, 0x36, 0x37, 0x7E, 0x7F}) {
        const QString english = errorDetails(code, QString());
        EXPECT_FALSE(english.endsWith(fallback)) << english.toStdString();
        EXPECT_FALSE(english.contains(QStringLiteral("responseCode"))) << english.toStdString();
    }
    EXPECT_TRUE(errorDetails(0x36, QString()).contains(QStringLiteral("0x36 exceedNumberOfAttempts")));
    DemoTranslators translators;
    ASSERT_TRUE(translators.use(QStringLiteral("de")));
    EXPECT_TRUE(errorDetails(0x36, QString()).contains(QStringLiteral("Zu viele falsche Sicherheitsschlüssel")))
        << errorDetails(0x36, QString()).toStdString();
    translators.use(QStringLiteral("en"));
}

}  // namespace
