// What a screen reader finds in the control: every interactive widget has a
// name in the user's language and no two share one, idle and while a device is
// driven; the indicator's meaning is text.
#include "SequenceFixture.h"
#include "ioctl_p.h"

#include <QAccessible>
#include <QSet>

namespace {

QStringList problems;

bool interactive(QAccessibleInterface* item)
{
    static const QSet<QAccessible::Role> roles = {
        QAccessible::PushButton, QAccessible::CheckBox,     QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::SpinBox,    QAccessible::EditableText, QAccessible::List,        QAccessible::Tree,
        QAccessible::Table,      QAccessible::ScrollBar,    QAccessible::Slider,      QAccessible::PageTabList};
    return roles.contains(item->role()) || item->state().focusable;
}

// The names of the shown interactive widgets below item, with a problem noted for each nameless one.
void walk(QAccessibleInterface* item, QStringList& names)
{
    if (item == nullptr || !item->isValid() || !item->object() || !item->object()->isWidgetType()) return;
    if (item->state().invisible) return;
    if (interactive(item)) {
        const QString name = item->text(QAccessible::Name).trimmed();
        if (name.isEmpty())
            problems << QStringLiteral("nameless %1 '%2'")
                            .arg(item->object()->metaObject()->className(), item->object()->objectName());
        else
            names << name;
    }
    for (int i = 0; i < item->childCount(); ++i)
        walk(item->child(i), names);
}

class Accessibility : public SequenceFixture {
  protected:
    // Nameless or doubly named interactive widgets, as one text per problem.
    QStringList check()
    {
        problems.clear();
        QStringList names;
        walk(QAccessible::queryAccessibleInterface(control.get()), names);
        QSet<QString> seen;
        for (const QString& name : names) {
            if (seen.contains(name)) problems << QStringLiteral("two widgets named '%1'").arg(name);
            seen.insert(name);
        }
        return problems;
    }
    QString ledText() const { return reportingWidgets().sbMain->panel("Led")->accessibleName(); }
};

TEST_F(Accessibility, shouldNameEveryInteractiveWidgetOnceInTheUsersLanguage)
{
    for (const char* language : {"en", "fr", "de"}) {
        initialise(language);
        chooseEcu("EngineControl");
        chooseDevice("FuelPump");
        EXPECT_EQ(check(), QStringList()) << language << " idle";
        sequencerWidgets().cbStartPerm->click();
        runFor(300);
        ASSERT_TRUE(sequencerWidgets().ioCtlTimer->isActive());
        EXPECT_EQ(check(), QStringList()) << language << " running";
        TavrinIoCtl::Events(*control).cbEstop_Click();
        runUntilIdle();
    }
    // The last language's names are its own, not English.
    EXPECT_EQ(catalogueWidgets().lvDevices->accessibleName(), "Stellgliederliste");
    EXPECT_EQ(sequencerWidgets().cbEstop->accessibleName(), "Not-Aus");
    EXPECT_EQ(catalogueWidgets().lvStatus->headerItem()->text(1), "Wert");
}

// On Linux a screen reader names a list of values by its label, not by its
// accessible name: the caption must label the editor shown.
TEST_F(Accessibility, shouldLabelEachParameterEditorByItsCaption)
{
    initialise("de");
    chooseEcu("EngineControl");
    chooseDevice("FuelPump");
    const auto& params = catalogueWidgets().DeviceParam;
    ASSERT_GT(params.size(), 2);
    for (const auto* view : {params[1], params[2], catalogueWidgets().DiSessionName}) {
        QAccessibleInterface* editor = QAccessible::queryAccessibleInterface(view->editor());
        ASSERT_NE(editor, nullptr);
        const auto labels = editor->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1) << view->Caption().toStdString();
        EXPECT_EQ(labels.front().first->text(QAccessible::Name), view->Caption()) << view->Caption().toStdString();
    }
}

TEST_F(Accessibility, shouldTellTheIndicatorsMeaningInTheUsersLanguage)
{
    initialise("fr");
    EXPECT_EQ(ledText(), "Au repos : rien n'est piloté");
    chooseEcu("EngineControl");
    chooseDevice("FuelPump");
    sequencerWidgets().cbStartPerm->click();
    EXPECT_EQ(ledText(), "Occupé : une séquence est en cours");
    runFor(300);
    TavrinIoCtl::Events(*control).cbEstop_Click();
    runUntilIdle();
    EXPECT_EQ(ledText(), "Au repos : rien n'est piloté");
}

// The steps, the state and what a screen reader says of the drive's widgets
// follow the language; the English texts are only the defaults.
TEST_F(Accessibility, shouldTellTheStepsAndTheStateInTheUsersLanguage)
{
    initialise("de");
    const auto state = [this] { return reportingWidgets().sbMain->panel("DIAG")->text(); };
    EXPECT_EQ(state(), "Bereit");
    EXPECT_EQ(sequencerWidgets().CbStop->accessibleDescription(), "Ansteuerung des Stellglieds beenden (F7).");
    EXPECT_EQ(sequencerWidgets().lbTime->accessibleDescription(), "Sekunden seit dem Beginn der Sequenz.");
    // Each monitoring option keeps its caption as its name; the description says what the group chooses.
    EXPECT_TRUE(sequencerWidgets().OptionPerm[1]->accessibleName().isEmpty());
    EXPECT_EQ(sequencerWidgets().OptionPerm[1]->accessibleDescription(),
              "Überwachung während der Ansteuerung: was bei jedem Schritt gesendet wird.");
    chooseEcu("EngineControl");
    chooseDevice("FuelPump");
    sequencerWidgets().cbStartTempo->click();
    runFor(300);
    EXPECT_EQ(state(), "Status");
    TavrinIoCtl::Events(*control).CbStop_Click();
    runUntilIdle();
    const QStringList log = control->runLogLines();
    for (const char* step :
         {"Initialisierung des Steuergeräts : ", "Start der Ansteuerung : ", "  Start der Ansteuerung : ",
          "Stopp durch den Benutzer", "Stopp : ", "  Stopp der Ansteuerung : ", "Bereit : "})
        EXPECT_FALSE(log.filter(QString::fromUtf8(step)).isEmpty()) << step << "\n" << log.join('\n').toStdString();
    EXPECT_EQ(state(), "Bereit");
    // A screen reader reads the run log line by line, the newest selected.
    reportingWidgets().runLog->flush();
    QAccessibleInterface* runLog = QAccessible::queryAccessibleInterface(reportingWidgets().runLog);
    ASSERT_NE(runLog, nullptr);
    EXPECT_EQ(runLog->role(), QAccessible::List);
    ASSERT_EQ(runLog->childCount(), log.size());
    EXPECT_EQ(runLog->child(0)->text(QAccessible::Name), log.front());
    QAccessibleInterface* newest = runLog->child(runLog->childCount() - 1);
    EXPECT_EQ(newest->text(QAccessible::Name), log.back());
    EXPECT_TRUE(newest->state().selected);
    EXPECT_EQ(runLog->indexOfChild(newest), runLog->childCount() - 1);
    // A value read before the stop is said to be old, in German too.
    EXPECT_EQ(catalogueWidgets().lvStatus->row(0)->data(1, Qt::AccessibleDescriptionRole).toString(),
              "vor dem Stopp gelesen");
    // Another language afterwards: the steps already said are said in it.
    initialise("fr");
    TavrinIoCtl::Events(*control).CbStop_Click();
    EXPECT_EQ(control->runLogLines().back().trimmed(), QString::fromUtf8("Arrêt demandé par l'utilisateur"));
}

}  // namespace
