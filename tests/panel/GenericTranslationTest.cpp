#include "ClassicType.h"
#include "ControlFixture.h"
#include "TranslateControls.h"
#include "multilanguage.h"

#include <QAction>
#include <QMenu>
#include <QTabBar>
#include <QToolBar>

using namespace TavrinIoCtl;

// The translation walks any collection of controls by their classic type names.
class GenericTranslationTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        multilanguage::state() = {};
        multilanguage::LoadLanguageFile(QStringLiteral(TAVRIN_FIXTURE_DIR) + "/languages", "en");
        tabs.setObjectName("tabs");
        tabs.addTab("General");
        tabs.setTabData(0, "general");
        tabs.addTab("Keyless");
        TavrinWidgets::setClassicType(&tabs, "TabStrip");
        tools.setObjectName("tools");
        TavrinWidgets::setClassicType(&tools, "Toolbar");
        QAction* open = tools.addAction("Open");
        open->setProperty("Key", "open");
        open->setMenu(&menu);
        recent = menu.addAction("Recent");
        recent->setProperty("Key", "recent");
        fileItem.setObjectName("mnuFile");
        TavrinWidgets::setClassicType(&fileItem, "Menu", 1);
    }
    void TearDown() override { multilanguage::state() = {}; }

    QTabBar tabs;
    QToolBar tools;
    QMenu menu;
    QAction* recent = nullptr;
    QAction fileItem{"File"};
};

TEST_F(GenericTranslationTest, shouldTranslateTabsToolbarsAndMenus)
{
    TranslateControls({&tabs, &tools, &fileItem}, "IoCtlMainForm/Controls");
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
    TavrinWidgets::setClassicType(&odd, "Menu", -1);
    EXPECT_NO_THROW(TranslateControls({&odd}, "IoCtlMainForm/Controls"));  // a menu skips what it refuses
    TavrinWidgets::setClassicType(&odd, "Label");
    try {
        TranslateControls({&odd, &tabs}, "IoCtlMainForm/Controls");
        FAIL() << "a label that refuses its caption ends the walk";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), 438);
    }
    EXPECT_EQ(tabs.tabText(0), "General");  // not reached
}

TEST_F(GenericTranslationTest, shouldDoNothingWithoutDocumentOrWindow)
{
    TranslateControls({&tabs}, "No/Such/Window");
    multilanguage::state() = {};
    TranslateControls({&tabs}, "IoCtlMainForm/Controls");
    EXPECT_EQ(tabs.tabText(0), "General");
}
