#include "Utils.h"

#include "MultiLanguage.h"

#include <functional>
#include <optional>

namespace TavrinIoCtl::utils {
namespace {

// The synonyms of a name in document order; none without a document or when
// the expression breaks (an apostrophe in the name).
std::vector<std::string> selectSynonyms(const char* branch, const QString& name)
{
    const auto& document = multilanguage::state().LanguageDocument;
    if (!document) return {};
    const QString xpath = QStringLiteral("/software/ioctl/") + QString::fromLatin1(branch) + QStringLiteral("[@id='") +
                          name + QStringLiteral("']/Synonim");
    std::vector<TavrinXml::Node> nodes;
    if (!document->trySelectAll(xpath.toStdString(), nullptr, nodes)) return {};
    std::vector<std::string> texts;
    for (auto node : nodes)
        texts.push_back(TavrinXml::text(node));
    return texts;
}

// The same, selected once per document: a device click asks for the same few names many times.
const std::vector<std::string>& synonyms(const char* branch, const QString& name)
{
    auto& cache = multilanguage::state().SynonymCache;
    const QString key = QString::fromLatin1(branch) + QLatin1Char('/') + name;
    auto found = cache.find(key);
    if (found == cache.end()) found = cache.emplace(key, selectSynonyms(branch, name)).first;
    return found->second;
}

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
Result findByName(const char* branch, const QString& name, const QString& suffix, Ask ask)
{
    const std::string tail = suffix.toStdString();
    if (auto hit = attempt<Result>([&] { return ask(name.toStdString() + tail); })) return *hit;
    try {
        for (const auto& synonym : synonyms(branch, name)) {
            if (auto hit = attempt<Result>([&] { return ask(synonym + tail); })) return *hit;
        }
    } catch (...) {
        // a failing selection counts as no synonyms
    }
    return nullptr;
}

}  // namespace

Sorvik3::RequestRef FindRequestByName(const Sorvik3::EcuRef& ecu, const QString& name, const QString& suffix)
{
    if (!ecu) return nullptr;
    return findByName<Sorvik3::RequestRef>("request", name, suffix,
                                           [&](const std::string& n) { return ecu->Request(n); });
}

Sorvik3::DataRef FindDataByName(const Sorvik3::RequestRef& request, const QString& name, const QString& suffix)
{
    if (!request) return nullptr;
    return findByName<Sorvik3::DataRef>("data", name, suffix, [&](const std::string& n) { return request->Data(n); });
}

int32_t FindValueByName(const Sorvik3::DataRef& data, const QString& valueName)
{
    const auto list = attempt<Sorvik3::NumericListRef>([&] { return data ? data->NumericList() : nullptr; });
    if (!list || !*list) throw Sorvik3::Error(kBadDataType, "Bad data type, Numeric list expected");
    if (auto hit = attempt<int32_t>([&] { return data->NumericList()->Value(valueName.toStdString()); })) return *hit;
    std::vector<std::string> alternatives;
    try {
        alternatives = synonyms("value", valueName);
    } catch (...) {
        alternatives.clear();
    }
    for (const auto& synonym : alternatives) {
        if (auto hit = attempt<int32_t>([&] { return data->NumericList()->Value(synonym); })) return *hit;
    }
    throw Sorvik3::Error(kValueNotFound, "Value not found");
}

}  // namespace TavrinIoCtl::utils
