#include "MultiLanguage.h"

#include "ControlErrors.h"

#include "Sorvik3.h"

#include <cmath>
#include <limits>

namespace TavrinIoCtl::multilanguage {
namespace {

const std::string kLangAttribute = "xml:lang";

}  // namespace

// First node of the localised path: the current language's sibling, else the
// first of that name. Empty on no match; nullopt when the path cannot be selected.
// The language is compared here, never pasted into the expression, so no code
// the host passes can change what the expression selects.
std::optional<TavrinXml::Node> Language::selectLocalised(TavrinXml::Node context, const QString& path) const
{
    const auto& document = *LanguageDocument;
    std::vector<TavrinXml::Node> nodes;
    if (!document.trySelectAll(path.toStdString(), context, nodes)) return std::nullopt;
    if (nodes.empty()) return nullptr;
    const std::string language = CurrentLanguage.toStdString();
    for (TavrinXml::Node node : nodes) {
        if (TavrinXml::attribute(node, kLangAttribute) == language) return node;
    }
    return nodes.front();
}

namespace {

// {0} to {5} in order (a placeholder a substitution brings is replaced by a
// later one), then {crlf} and {tab}. Said every exchange: a text without a
// brace is left at once, and the placeholders are made once.
QString substitute(QString text, const QStringList& substitutions)
{
    static const QString placeholders[] = {QStringLiteral("{0}"), QStringLiteral("{1}"), QStringLiteral("{2}"),
                                           QStringLiteral("{3}"), QStringLiteral("{4}"), QStringLiteral("{5}")};
    static const QString crlf = QStringLiteral("{crlf}");
    static const QString tab = QStringLiteral("{tab}");
    for (int i = 0; i < 6; ++i) {
        if (!text.contains(QLatin1Char('{'))) return text;
        text.replace(placeholders[i], substitutions.value(i));
    }
    text.replace(crlf, QStringLiteral("\r\n"));
    text.replace(tab, QStringLiteral("\t"));
    return text;
}

std::optional<double> readNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

// The message text with placeholders replaced; nullopt when a selection failed.
std::optional<QString> Language::messageText(const QString& defaultText, const QString& key,
                                             const QStringList& substitutions) const
{
    QString text = defaultText;
    if (LanguageDocument) {
        // A running test says the same few messages every exchange: each key is
        // looked up in the document once.
        auto cached = MessageCache.find(key);
        if (cached == MessageCache.end()) {
            std::optional<std::optional<QString>> found;
            if (auto node = selectLocalised(nullptr, QStringLiteral("/software/") + key)) {
                found.emplace();
                if (*node) found->emplace(QString::fromStdString(TavrinXml::text(*node)));
            }
            cached = MessageCache.emplace(key, std::move(found)).first;
        }
        if (!cached->second) return std::nullopt;
        if (*cached->second) text = **cached->second;
    }
    return substitute(text, substitutions);
}

template <typename Integer>
Integer Language::integerMessage(Integer defaultValue, const QString& key, const QStringList& substitutions) const
{
    auto text = messageText(QString::number(defaultValue), key, substitutions);
    if (!text) return defaultValue;
    auto number = readNumber(*text);
    if (!number) return defaultValue;
    const double rounded = std::nearbyint(*number);
    if (rounded < std::numeric_limits<Integer>::min() || rounded > std::numeric_limits<Integer>::max()) {
        return defaultValue;
    }
    return static_cast<Integer>(rounded);
}

QString languageFilePath(const QString& installPath)
{
    return installPath + QStringLiteral("/lang/ioctl.xml");
}

void Language::useDocument(TavrinXml::Document document, const QString& languageCode)
{
    LanguageDocument = std::move(document);
    SynonymCache.clear();
    MessageCache.clear();
    ++Generation;
    CurrentLanguage = languageCode.isEmpty() ? QStringLiteral("en") : languageCode;
}

void Language::LoadLanguageFile(const QString& installPath, const QString& languageCode)
{
    const QString path = languageFilePath(installPath);
    TavrinXml::Document document = TavrinXml::Document::load(path.toStdString());
    if (document.loaded()) {
        useDocument(std::move(document), languageCode);
        return;
    }
    useDocument(TavrinXml::Document(), languageCode);
    const auto& error = *document.error();
    const QString description = QStringLiteral("Unable to read language file : ") + path + QStringLiteral("\r\n") +
                                QStringLiteral("Raison : ") + QString::fromStdString(error.reason) +
                                QStringLiteral("\r\n") + QStringLiteral("Line : ") + QString::number(error.line) +
                                QStringLiteral("\r\n") + QStringLiteral("LinePos  : ") + QString::number(error.column);
    throw Sorvik3::Error(number(ControlError::LanguageFile), description.toStdString());
}

bool Language::GetLocalizedText(TavrinXml::Node element, const QString& path, QString& text) const
{
    if (!LanguageDocument || element == nullptr) return false;
    auto node = selectLocalised(element, path);
    if (!node || !*node) return false;
    text = QString::fromStdString(TavrinXml::text(*node));
    return true;
}

QString Language::controlText(const QString& path, const QString& fallback) const
{
    const auto& document = LanguageDocument;
    if (!document) return fallback;
    QString text = fallback;
    GetLocalizedText(document->selectFirst("/software/IoCtlMainForm/Controls"), path, text);
    return text;
}

QString Language::GetMessage(const QString& defaultValue, const QString& key, const QStringList& substitutions) const
{
    return messageText(defaultValue, key, substitutions).value_or(defaultValue);
}

int32_t Language::GetMessage(int32_t defaultValue, const QString& key, const QStringList& substitutions) const
{
    return integerMessage(defaultValue, key, substitutions);
}

int16_t Language::GetMessage(int16_t defaultValue, const QString& key, const QStringList& substitutions) const
{
    return integerMessage(defaultValue, key, substitutions);
}

double Language::GetMessage(double defaultValue, const QString& key, const QStringList& substitutions) const
{
    auto text = messageText(QString::number(defaultValue, 'g', 17), key, substitutions);
    if (!text) return defaultValue;
    return readNumber(*text).value_or(defaultValue);
}

bool Language::GetMessage(bool defaultValue, const QString& key, const QStringList& substitutions) const
{
    auto text = messageText(defaultValue ? QStringLiteral("True") : QStringLiteral("False"), key, substitutions);
    if (!text) return defaultValue;
    const QString word = text->trimmed().toLower();
    QString digits = *text;
    digits.remove(QLatin1Char(' '));
    return !(word == QStringLiteral("false") || word == QStringLiteral("faux") || digits == QStringLiteral("0"));
}

std::vector<std::string> Language::selectSynonyms(const char* branch, const QString& name) const
{
    if (!LanguageDocument) return {};
    const QString xpath = QStringLiteral("/software/ioctl/") + QString::fromLatin1(branch) + QStringLiteral("[@id='") +
                          name + QStringLiteral("']/Synonim");
    std::vector<TavrinXml::Node> nodes;
    if (!LanguageDocument->trySelectAll(xpath.toStdString(), nullptr, nodes)) return {};
    std::vector<std::string> texts;
    for (auto node : nodes)
        texts.push_back(TavrinXml::text(node));
    return texts;
}

const std::vector<std::string>& Language::synonyms(const char* branch, const QString& name) const
{
    const QString key = QString::fromLatin1(branch) + QLatin1Char('/') + name;
    auto found = SynonymCache.find(key);
    if (found == SynonymCache.end()) found = SynonymCache.emplace(key, selectSynonyms(branch, name)).first;
    return found->second;
}

}  // namespace TavrinIoCtl::multilanguage
