#include "Utils.h"

#include "MultiLanguage.h"

#include <functional>
#include <optional>

namespace TavrinIoCtl::utils {
namespace {

template <typename Result>
std::optional<Result> attempt(const std::function<Result()>& ask) noexcept
{
    try {
        return ask();
    } catch (...) {
        return std::nullopt;
    }
}

template <typename Result, typename Ask>
Result findByName(const multilanguage::Language& language, const char* branch, const QString& name,
                  const QString& suffix, Ask ask)
{
    const std::string tail = suffix.toStdString();
    if (auto hit = attempt<Result>([&] { return ask(name.toStdString() + tail); })) return *hit;
    try {
        for (const auto& synonym : language.synonyms(branch, name)) {
            if (auto hit = attempt<Result>([&] { return ask(synonym + tail); })) return *hit;
        }
    } catch (...) {
        // a failing selection counts as no synonyms
    }
    return nullptr;
}

}  // namespace

Sorvik3::RequestRef FindRequestByName(const multilanguage::Language& language, const Sorvik3::EcuRef& ecu,
                                      const QString& name, const QString& suffix)
{
    if (!ecu) return nullptr;
    return findByName<Sorvik3::RequestRef>(language, "request", name, suffix,
                                           [&](const std::string& n) { return ecu->Request(n); });
}

Sorvik3::DataRef FindDataByName(const multilanguage::Language& language, const Sorvik3::RequestRef& request,
                                const QString& name, const QString& suffix)
{
    if (!request) return nullptr;
    return findByName<Sorvik3::DataRef>(language, "data", name, suffix,
                                        [&](const std::string& n) { return request->Data(n); });
}

int32_t FindValueByName(const multilanguage::Language& language, const Sorvik3::DataRef& data, const QString& valueName)
{
    const auto list = attempt<Sorvik3::NumericListRef>([&] { return data ? data->NumericList() : nullptr; });
    if (!list || !*list) throw Sorvik3::Error(kBadDataType, "Bad data type, Numeric list expected");
    if (auto hit = attempt<int32_t>([&] { return data->NumericList()->Value(valueName.toStdString()); })) return *hit;
    std::vector<std::string> alternatives;
    try {
        alternatives = language.synonyms("value", valueName);
    } catch (...) {
        alternatives.clear();
    }
    for (const auto& synonym : alternatives) {
        if (auto hit = attempt<int32_t>([&] { return data->NumericList()->Value(synonym); })) return *hit;
    }
    throw Sorvik3::Error(kValueNotFound, "Value not found");
}

}  // namespace TavrinIoCtl::utils
