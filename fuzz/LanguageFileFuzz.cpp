// Any bytes as the language file, read as the control reads it: messages of
// every type and the localised texts of the window, in a hostile language code too.
#include "MultiLanguage.h"
#include "XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace TavrinIoCtl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto& language = multilanguage::state();
    language.LanguageDocument = TavrinXml::Document::parse(std::string(reinterpret_cast<const char*>(data), size));
    for (const char* code : {"en", "x']|//*|//a['"}) {
        language.CurrentLanguage = QString::fromLatin1(code);
        multilanguage::GetMessage("Clic here for error details", "Messages/ClicHere", {"{1}", "{crlf}"});
        multilanguage::GetMessage(int32_t{7}, "Messages/ClicHere");
        multilanguage::GetMessage(int16_t{7}, "Messages/ClicHere");
        multilanguage::GetMessage(1.5, "Messages/ClicHere");
        multilanguage::GetMessage(true, "Messages/ClicHere");
        const auto window = language.LanguageDocument->selectFirst("/software/IoCtlMainForm/Controls");
        QString text;
        multilanguage::GetLocalizedText(window, QStringLiteral("OptionPerm/item1/caption"), text);
        multilanguage::GetLocalizedText(window, QStringLiteral("lvFunctions/FCTS/text"), text);
    }
    return 0;
}
