#include "ControlFixture.h"
#include "MultiLanguage.h"

using namespace TavrinIoCtl;

namespace {

class LanguageTest : public ::testing::Test {
  protected:
    void load(const QString& code)
    {
        language.LoadLanguageFile(QStringLiteral(TAVRIN_FIXTURE_DIR) + "/languages", code);
    }
    QString localized(const QString& path)
    {
        auto window = language.document()->selectFirst("/software/IoCtlMainForm/Controls");
        QString text = "unchanged";
        language.GetLocalizedText(window, path, text);
        return text;
    }

    multilanguage::Language language;
};

}  // namespace

TEST_F(LanguageTest, shouldPickTheCurrentLanguageElseTheFirstSibling)
{
    load("en");
    EXPECT_EQ(language.GetMessage("default", "Messages/Greeting", {"Ann", "Bob"}), "Hello Ann\r\n\tand Bob");
    EXPECT_EQ(language.GetMessage("default", "Messages/OnlyOthers"), "Nur deutsch");
    EXPECT_EQ(language.GetMessage("default", "Messages/Regional"), "Colour");  // the first, en-GB is not en
    EXPECT_EQ(localized("lvFunctions/FCTS/text"), "Function (en)");
    EXPECT_EQ(localized("Nothing/here"), "unchanged");
    EXPECT_EQ(localized("bad[["), "unchanged");
}

// The code is the host's: it must never change what a selection selects.
TEST_F(LanguageTest, shouldTreatAHostileLanguageCodeAsAnUnknownLanguage)
{
    load("x']|//*|//a['");
    EXPECT_EQ(localized("lvFunctions/FCTS/text"), "Fonction");  // the first sibling
    EXPECT_EQ(localized("OptionPerm/item1/caption"), "Watch status");
    EXPECT_EQ(language.GetMessage("default", "Messages/Greeting", {"Ann"}), "Bonjour Ann");
    load("it's");
    EXPECT_EQ(localized("lvFunctions/FCTS/text"), "Fonction");
}

TEST_F(LanguageTest, shouldTakeEnglishForAnEmptyCode)
{
    load("");
    EXPECT_EQ(language.currentLanguage(), "en");
    EXPECT_EQ(localized("lvFunctions/FCTS/text"), "Function (en)");
}

TEST_F(LanguageTest, shouldReplacePlaceholdersInOrder)
{
    // No document: the default with its placeholders replaced; {1} inside S0 becomes S1.
    EXPECT_EQ(language.GetMessage("{0}|{1}", "Messages/None", {"a{1}", "b{crlf}"}), "ab\r\n|b\r\n");
}

TEST_F(LanguageTest, shouldConvertToTheDefaultsType)
{
    load("en");
    EXPECT_FALSE(language.GetMessage(true, "Messages/Faux"));
    EXPECT_TRUE(language.GetMessage(false, "Messages/Empty"));
    EXPECT_EQ(language.GetMessage(int32_t{42}, "Messages/Letters"), 42);
    EXPECT_EQ(language.GetMessage(int32_t{0}, "Messages/Half"), 2);  // halves to even
    EXPECT_EQ(language.GetMessage(int16_t{3}, "Messages/Big"), 3);   // out of the 16-bit range
    EXPECT_EQ(language.GetMessage(int32_t{3}, "Messages/Big"), 40000);
    EXPECT_DOUBLE_EQ(language.GetMessage(1.0, "Messages/Half"), 2.5);
    EXPECT_EQ(language.GetMessage("kept {0}", "Messages/It's", {"x"}), "kept {0}");  // broken selection
}

TEST_F(LanguageTest, shouldLeaveAnEmptyDocumentAfterAFailedLoad)
{
    EXPECT_THROW(language.LoadLanguageFile("/nonexistent", "fr"), Sorvik3::Error);
    EXPECT_TRUE(language.document().has_value());
    EXPECT_EQ(language.currentLanguage(), "fr");
    EXPECT_EQ(language.GetMessage("Clic {0}", "Messages/ClicHere", {"here"}), "Clic here");
}
