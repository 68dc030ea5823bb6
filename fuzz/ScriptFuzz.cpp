// Any bytes as a scenario script: parsed and checked, or refused with its line.
#include "Script.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        Scenario::checkScript(Scenario::parseScript(text, QStringLiteral("fuzz.ioc")), QStringLiteral("fuzz.ioc"));
    } catch (const Scenario::ScriptError&) {
        // a refused script is an answer
    }
    return 0;
}
