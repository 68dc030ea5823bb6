// The language module: the language file's document and the chosen language,
// held by the control that loaded them (two controls on one thread may speak
// two languages), and the readers of localised texts and messages.
#pragma once

#include "XmlDocument.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace TavrinIoCtl::multilanguage {

QString languageFilePath(const QString& installPath);

class Language {
  public:
    // Throws Sorvik3::Error(1, "Unable to read language file : ...") when the file
    // cannot be read; the document is then the empty one.
    void LoadLanguageFile(const QString& installPath, const QString& languageCode);
    // A document read elsewhere (an empty code is English).
    void useDocument(TavrinXml::Document document, const QString& languageCode);

    // Empty until the first load.
    const std::optional<TavrinXml::Document>& document() const { return LanguageDocument; }
    const QString& currentLanguage() const { return CurrentLanguage; }

    // The text of the localised element at path below element; false leaves text as it was.
    bool GetLocalizedText(TavrinXml::Node element, const QString& path, QString& text) const;

    // The localised text at path below the control's branch of the language file
    // ("IoCtlMainForm/Controls"); the fallback when the file has none.
    QString controlText(const QString& path, const QString& fallback) const;

    // A message by key below "software", placeholders {0}..{5}, {crlf} and {tab}
    // replaced, converted to the default's type; the default itself when anything fails.
    QString GetMessage(const QString& defaultValue, const QString& key, const QStringList& substitutions = {}) const;
    // Keeps a literal default from converting to bool.
    QString GetMessage(const char* defaultValue, const QString& key, const QStringList& substitutions = {}) const
    {
        return GetMessage(QString::fromUtf8(defaultValue), key, substitutions);
    }
    int32_t GetMessage(int32_t defaultValue, const QString& key, const QStringList& substitutions = {}) const;
    int16_t GetMessage(int16_t defaultValue, const QString& key, const QStringList& substitutions = {}) const;
    double GetMessage(double defaultValue, const QString& key, const QStringList& substitutions = {}) const;
    bool GetMessage(bool defaultValue, const QString& key, const QStringList& substitutions = {}) const;

    // The synonyms the file lists for a name below "/software/ioctl/<branch>", in
    // document order, selected once per document: a device click asks for the same
    // few names many times. None without a document or when the expression breaks.
    const std::vector<std::string>& synonyms(const char* branch, const QString& name) const;
    // Changes whenever another document is used, so a text kept by a caller can tell it is stale.
    quint64 generation() const { return Generation; }

  private:
    std::optional<TavrinXml::Node> selectLocalised(TavrinXml::Node context, const QString& path) const;
    std::optional<QString> messageText(const QString& defaultText, const QString& key,
                                       const QStringList& substitutions) const;
    template <typename Integer>
    Integer integerMessage(Integer defaultValue, const QString& key, const QStringList& substitutions) const;
    std::vector<std::string> selectSynonyms(const char* branch, const QString& name) const;

    std::optional<TavrinXml::Document> LanguageDocument;
    QString CurrentLanguage;
    quint64 Generation = 0;
    mutable std::map<QString, std::vector<std::string>> SynonymCache;
    // Per key: unset when the path cannot be selected, an empty text when no node holds it.
    mutable std::unordered_map<QString, std::optional<std::optional<QString>>> MessageCache;
};

}  // namespace TavrinIoCtl::multilanguage
