#include "service/languages.h"

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

}  // namespace

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
    return lower;
}

}  // namespace verz
