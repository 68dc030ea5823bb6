#include "ClassicType.h"
#include "ControlErrors.h"
#include "ControlFixture.h"
#include "MultiLanguage.h"
#include "TranslateControls.h"

#include <QAction>
#include <QButtonGroup>
#include <QMenu>
#include <QRadioButton>
#include <QTabBar>
#include <QToolBar>

using namespace TavrinIoCtl;

// The translation walks any collection of controls by their classic type names.
class GenericTranslationTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        language.LoadLanguageFile(QStringLiteral(TAVRIN_FIXTURE_DIR) + "/languages", "en");
        tabs.setObjectName("tabs");
        tabs.addTab("General");
        tabs.setTabData(0, "general");
        tabs.addTab("Keyless");
        TavrinPlatform::setClassicType(&tabs, "TabStrip");
        tools.setObjectName("tools");
        TavrinPlatform::setClassicType(&tools, "Toolbar");
        QAction* open = tools.addAction("Open");
        open->setProperty("Key", "open");
        open->setMenu(&menu);
        recent = menu.addAction("Recent");
        recent->setProperty("Key", "recent");
        fileItem.setObjectName("mnuFile");
        TavrinPlatform::setClassicType(&fileItem, "Menu", 1);
    }
    multilanguage::Language language;
    QTabBar tabs;
    QToolBar tools;
    QMenu menu;
    QAction* recent = nullptr;
    QAction fileItem{"File"};
};

TEST_F(GenericTranslationTest, shouldTranslateTabsToolbarsAndMenus)
{
    TranslateControls(language, {&tabs, &tools, &fileItem}, "IoCtlMainForm/Controls");
    EXPECT_EQ(tabs.tabText(0), "General tab");
    EXPECT_EQ(tabs.tabToolTip(0), "General tip");
    EXPECT_EQ(tabs.tabText(1), "Keyless");
    EXPECT_EQ(tools.actions().front()->toolTip(), "Open a vehicle");
    EXPECT_EQ(recent->text(), "Recent files");
    EXPECT_EQ(fileItem.text(), "File one");
}

TEST_F(GenericTranslationTest, shouldIgnoreRefusalsOnlyInArrayRules)
{
    QObject odd;
    odd.setObjectName("odd");
    TavrinPlatform::setClassicType(&odd, "Menu", -1);
    EXPECT_NO_THROW(TranslateControls(language, {&odd}, "IoCtlMainForm/Controls"));  // a menu skips what it refuses
    TavrinPlatform::setClassicType(&odd, "Label");
    try {
        TranslateControls(language, {&odd, &tabs}, "IoCtlMainForm/Controls");
        FAIL() << "a label that refuses its caption ends the walk";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(ControlError::PropertyRefused));
    }
    EXPECT_EQ(tabs.tabText(0), "General");  // not reached
}

TEST_F(GenericTranslationTest, shouldDoNothingWithoutDocumentOrWindow)
{
    TranslateControls(language, {&tabs}, "No/Such/Window");
    TranslateControls(multilanguage::Language(), {&tabs}, "IoCtlMainForm/Controls");
    EXPECT_EQ(tabs.tabText(0), "General");
}

// Any value text but exactly "1" clears the option, even the checked member of
// an exclusive group, where unchecking is otherwise refused.
TEST_F(GenericTranslationTest, shouldClearTheCheckedOptionOfAnExclusiveGroup)
{
    for (bool buttonGroup : {false, true}) {
        for (int checked = 0; checked < 3; ++checked) {
            QWidget frame;
            QButtonGroup group;
            QList<QObject*> options;
            for (int i = 0; i < 3; ++i) {
                auto* option = new QRadioButton(&frame);
                option->setObjectName("choice");
                TavrinPlatform::setClassicType(option, "OptionButton", i);
                if (buttonGroup) group.addButton(option);
                options << option;
            }
            qobject_cast<QRadioButton*>(options[checked])->setChecked(true);
            TranslateControls(language, options, "IoCtlMainForm/Controls");
            for (int i = 0; i < 3; ++i) {
                EXPECT_FALSE(qobject_cast<QRadioButton*>(options[i])->isChecked())
                    << "option " << i << " after checking " << checked << (buttonGroup ? " in a group" : "");
            }
            EXPECT_EQ(group.exclusive(), true);
            EXPECT_TRUE(qobject_cast<QRadioButton*>(options[0])->autoExclusive());
        }
    }
}
