#include "LanguageCheck.h"

#include "XmlDocument.h"

namespace TavrinApps {

QStringList languagesOfFile(const QString& installPath)
{
    const auto document = TavrinXml::Document::load((installPath + QStringLiteral("/lang/ioctl.xml")).toStdString());
    QStringList codes;
    for (TavrinXml::Node attribute : document.selectAll("//@xml:lang")) {
        const QString code = QString::fromStdString(TavrinXml::text(attribute));
        if (!codes.contains(code)) codes << code;
    }
    return codes;
}

QString unknownLanguageWarning(const QString& program, const QString& installPath, const QString& code)
{
    const QStringList known = languagesOfFile(installPath);
    const QString asked = code.isEmpty() ? QStringLiteral("en") : code;
    if (known.isEmpty() || known.contains(asked)) return {};
    // A text without the asked language falls back to the first sibling: the file's first language.
    return QStringLiteral("%1: warning: the language file %2/lang/ioctl.xml has no language '%3' (it has %4): "
                          "the texts are shown in %5")
        .arg(program, installPath, asked, known.join(QStringLiteral(", ")), known.front());
}

}  // namespace TavrinApps
