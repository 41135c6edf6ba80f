#include "detect/detected_pair.h"

#include "common/languages.h"

namespace verz {

QString PairForDetectedLanguage(const QString &source, const QString &target)
{
    QString into = target;
    if (into.isEmpty())
        into = source == u"fr" ? QStringLiteral("en") : QStringLiteral("fr");
    for (const OfferedPair &pair : OfferedPairs()) {
        if (QLatin1String(pair.source) == source && QLatin1String(pair.target) == into)
            return pair.code();
    }
    return {};
}

QString PreferredPairFor(const QString &source)
{
    if (QString code = PairForDetectedLanguage(source); !code.isEmpty())
        return code;
    for (const OfferedPair &pair : OfferedPairs()) {
        if (QLatin1String(pair.source) == source)
            return pair.code();
    }
    return {};
}

bool IsAutoPairCode(const QString &code, QString *target)
{
    if (code == u"auto") {
        target->clear();
        return true;
    }
    if (!code.startsWith(QStringLiteral("auto|")))
        return false;
    *target = code.mid(5);
    return true;
}

QString NoSuchDetectedPairMessage(const QString &source, const QString &target)
{
    const Language *from = LanguageByCode(source);
    const Language *into = LanguageByCode(target);
    QString message =
        QStringLiteral("langue détectée : ") + (from ? from->frenchName.toLower() : source) +
        QStringLiteral(" ; aucune paire ne la traduit vers ") +
        (into ? into->frenchName.toLower() : target) + QStringLiteral(". Les paires sont :");
    for (const OfferedPair &pair : OfferedPairs())
        message += QStringLiteral("\n  ") + pair.code() + u'\t' + pair.label();
    return message;
}

}  // namespace verz
