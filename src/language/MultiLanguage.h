// The language module: the language file's document and the chosen language,
// one copy per thread (shared by every control on it), and the readers of
// localised texts and messages.
#pragma once

#include "XmlDocument.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace TavrinIoCtl::multilanguage {

struct LanguageState {
    std::optional<TavrinXml::Document> LanguageDocument;  // empty until the first load
    QString CurrentLanguage;
    // Synonyms already selected from this document, by branch and name.
    std::map<QString, std::vector<std::string>> SynonymCache;
};

LanguageState& state();

// Throws Sorvik3::Error(1, "Unable to read language file : ...") when the file
// cannot be read; the document is then the empty one.
void LoadLanguageFile(const QString& installPath, const QString& languageCode);

QString languageFilePath(const QString& installPath);

// The text of the localised element at path below element; false leaves text as it was.
bool GetLocalizedText(TavrinXml::Node element, const QString& path, QString& text);

// The localised text at path below the control's branch of the language file
// ("IoCtlMainForm/Controls"); the fallback when the file has none.
QString controlText(const QString& path, const QString& fallback);

// A message by key below "software", placeholders {0}..{5}, {crlf} and {tab}
// replaced, converted to the default's type; the default itself when anything fails.
QString GetMessage(const QString& defaultValue, const QString& key, const QStringList& substitutions = {});
// Keeps a literal default from converting to bool.
inline QString GetMessage(const char* defaultValue, const QString& key, const QStringList& substitutions = {})
{
    return GetMessage(QString::fromUtf8(defaultValue), key, substitutions);
}
int32_t GetMessage(int32_t defaultValue, const QString& key, const QStringList& substitutions = {});
int16_t GetMessage(int16_t defaultValue, const QString& key, const QStringList& substitutions = {});
double GetMessage(double defaultValue, const QString& key, const QStringList& substitutions = {});
bool GetMessage(bool defaultValue, const QString& key, const QStringList& substitutions = {});

}  // namespace TavrinIoCtl::multilanguage
