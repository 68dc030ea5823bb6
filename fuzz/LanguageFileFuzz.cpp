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
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    multilanguage::Language language;
    for (const char* code : {"en", "x']|//*|//a['"}) {
        language.useDocument(TavrinXml::Document::parse(bytes), QString::fromLatin1(code));
        language.GetMessage("Clic here for error details", "Messages/ClicHere", {"{1}", "{crlf}"});
        language.GetMessage(int32_t{7}, "Messages/ClicHere");
        language.GetMessage(int16_t{7}, "Messages/ClicHere");
        language.GetMessage(1.5, "Messages/ClicHere");
        language.GetMessage(true, "Messages/ClicHere");
        const auto window = language.document()->selectFirst("/software/IoCtlMainForm/Controls");
        QString text;
        language.GetLocalizedText(window, QStringLiteral("OptionPerm/item1/caption"), text);
        language.GetLocalizedText(window, QStringLiteral("lvFunctions/FCTS/text"), text);
    }
    return 0;
}
