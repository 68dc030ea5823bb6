#include "MultiLanguage.h"

#include "ControlErrors.h"

#include "Sorvik3.h"

#include <cmath>
#include <limits>

namespace TavrinIoCtl::multilanguage {
namespace {

const std::string kLangAttribute = "xml:lang";

// First node of the localised path: the current language's sibling, else the
// first of that name. Empty on no match; nullopt when the path cannot be selected.
// The language is compared here, never pasted into the expression, so no code
// the host passes can change what the expression selects.
std::optional<TavrinXml::Node> selectLocalised(TavrinXml::Node context, const QString& path)
{
    const auto& document = *state().LanguageDocument;
    std::vector<TavrinXml::Node> nodes;
    if (!document.trySelectAll(path.toStdString(), context, nodes)) return std::nullopt;
    if (nodes.empty()) return nullptr;
    const std::string language = state().CurrentLanguage.toStdString();
    for (TavrinXml::Node node : nodes) {
        if (TavrinXml::attribute(node, kLangAttribute) == language) return node;
    }
    return nodes.front();
}

QString substitute(QString text, const QStringList& substitutions)
{
    for (int i = 0; i < 6; ++i) {
        text.replace(QStringLiteral("{%1}").arg(i), substitutions.value(i));
    }
    text.replace(QStringLiteral("{crlf}"), QStringLiteral("\r\n"));
    text.replace(QStringLiteral("{tab}"), QStringLiteral("\t"));
    return text;
}

// The message text with placeholders replaced; nullopt when a selection failed.
std::optional<QString> messageText(const QString& defaultText, const QString& key, const QStringList& substitutions)
{
    QString text = defaultText;
    if (state().LanguageDocument) {
        auto node = selectLocalised(nullptr, QStringLiteral("/software/") + key);
        if (!node) return std::nullopt;
        if (*node) text = QString::fromStdString(TavrinXml::text(*node));
    }
    return substitute(text, substitutions);
}

std::optional<double> readNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

template <typename Integer>
Integer integerMessage(Integer defaultValue, const QString& key, const QStringList& substitutions)
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

}  // namespace

LanguageState& state()
{
    thread_local LanguageState languageState;
    return languageState;
}

QString languageFilePath(const QString& installPath)
{
    return installPath + QStringLiteral("/lang/ioctl.xml");
}

void LoadLanguageFile(const QString& installPath, const QString& languageCode)
{
    auto& language = state();
    language.LanguageDocument.emplace();
    language.SynonymCache.clear();
    language.CurrentLanguage = languageCode.isEmpty() ? QStringLiteral("en") : languageCode;
    const QString path = languageFilePath(installPath);
    TavrinXml::Document document = TavrinXml::Document::load(path.toStdString());
    if (document.loaded()) {
        language.LanguageDocument = std::move(document);
        return;
    }
    const auto& error = *document.error();
    const QString description = QStringLiteral("Unable to read language file : ") + path + QStringLiteral("\r\n") +
                                QStringLiteral("Raison : ") + QString::fromStdString(error.reason) +
                                QStringLiteral("\r\n") + QStringLiteral("Line : ") + QString::number(error.line) +
                                QStringLiteral("\r\n") + QStringLiteral("LinePos  : ") + QString::number(error.column);
    throw Sorvik3::Error(number(ControlError::LanguageFile), description.toStdString());
}

bool GetLocalizedText(TavrinXml::Node element, const QString& path, QString& text)
{
    if (!state().LanguageDocument || element == nullptr) return false;
    auto node = selectLocalised(element, path);
    if (!node || !*node) return false;
    text = QString::fromStdString(TavrinXml::text(*node));
    return true;
}

QString controlText(const QString& path, const QString& fallback)
{
    const auto& document = state().LanguageDocument;
    if (!document) return fallback;
    QString text = fallback;
    GetLocalizedText(document->selectFirst("/software/IoCtlMainForm/Controls"), path, text);
    return text;
}

QString GetMessage(const QString& defaultValue, const QString& key, const QStringList& substitutions)
{
    return messageText(defaultValue, key, substitutions).value_or(defaultValue);
}

int32_t GetMessage(int32_t defaultValue, const QString& key, const QStringList& substitutions)
{
    return integerMessage(defaultValue, key, substitutions);
}

int16_t GetMessage(int16_t defaultValue, const QString& key, const QStringList& substitutions)
{
    return integerMessage(defaultValue, key, substitutions);
}

double GetMessage(double defaultValue, const QString& key, const QStringList& substitutions)
{
    auto text = messageText(QString::number(defaultValue, 'g', 17), key, substitutions);
    if (!text) return defaultValue;
    return readNumber(*text).value_or(defaultValue);
}

bool GetMessage(bool defaultValue, const QString& key, const QStringList& substitutions)
{
    auto text = messageText(defaultValue ? QStringLiteral("True") : QStringLiteral("False"), key, substitutions);
    if (!text) return defaultValue;
    const QString word = text->trimmed().toLower();
    QString digits = *text;
    digits.remove(QLatin1Char(' '));
    return !(word == QStringLiteral("false") || word == QStringLiteral("faux") || digits == QStringLiteral("0"));
}

}  // namespace TavrinIoCtl::multilanguage
