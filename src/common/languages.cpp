#include "common/languages.h"

#include <array>

namespace verz {

namespace {

const std::array<Language, 6> &AllLanguages()
{
    static const std::array<Language, 6> languages{{
        {QStringLiteral("fr"), QStringLiteral("fra"), QStringLiteral("Français")},
        {QStringLiteral("en"), QStringLiteral("eng"), QStringLiteral("Anglais")},
        {QStringLiteral("es"), QStringLiteral("spa"), QStringLiteral("Espagnol")},
        {QStringLiteral("pt"), QStringLiteral("por"), QStringLiteral("Portugais")},
        {QStringLiteral("it"), QStringLiteral("ita"), QStringLiteral("Italien")},
        {QStringLiteral("de"), QStringLiteral("deu"), QStringLiteral("Allemand")},
    }};
    return languages;
}

// The window's pair catalogue and the service's home page both list these.
constexpr std::array<OfferedPair, kOfferedPairCount> kOfferedPairs{{
    {"en", "fr", true},
    {"en", "it", false},
    {"en", "pt", false},
    {"en", "de", false},
    {"en", "es", false},
    {"fr", "en", true},
    {"fr", "de", false},
    {"de", "fr", true},
    {"de", "en", false},
    {"es", "en", true},
    {"pt", "en", false},
    {"it", "en", false},
}};

}  // namespace

QString OfferedPair::code() const
{
    return QLatin1String(source) + QLatin1Char('|') + QLatin1String(target);
}

QString OfferedPair::label() const
{
    return LanguageByCode(QLatin1String(source))->frenchName + QStringLiteral(" vers ") +
           LanguageByCode(QLatin1String(target))->frenchName;
}

const std::array<OfferedPair, kOfferedPairCount> &OfferedPairs()
{
    return kOfferedPairs;
}

const Language *LanguageByCode(const QString &twoLetters)
{
    for (const Language &language : AllLanguages()) {
        if (language.code == twoLetters)
            return &language;
    }
    return nullptr;
}

QString NormalisedApertiumCode(const QString &code)
{
    QString lower = code.trimmed().toLower();
    if (const Language *language = LanguageByCode(lower))
        return language->apertium;
    // The languages the measured routes pivot through.
    if (lower == u"ca")
        return QStringLiteral("cat");
    if (lower == u"gl")
        return QStringLiteral("glg");
    if (lower == u"eo")
        return QStringLiteral("epo");
    return lower;
}

}  // namespace verz
