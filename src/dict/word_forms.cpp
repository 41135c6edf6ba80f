#include "dict/word_forms.h"

#include <QHash>

namespace verz {

namespace {

// A stem shorter than this is no stem: "es" is no form of "e".
constexpr qsizetype kShortestStem = 3;

struct Ending {
    const char16_t *ending;
    const char16_t *replacement;
};

// Likeliest first: the first form the dictionary has wins.
constexpr Ending kGermanEndings[] = {
    {u"es", u""},  {u"en", u""},  {u"em", u""},   {u"er", u""},   {u"e", u""},
    {u"n", u""},   {u"s", u""},   {u"st", u"en"}, {u"te", u"en"}, {u"ten", u"en"},
    {u"t", u"en"}, {u"e", u"en"}, {u"et", u"en"},
};
constexpr Ending kFrenchEndings[] = {
    {u"s", u""},     {u"x", u""},    {u"es", u""},    {u"e", u""},   {u"ent", u"er"},
    {u"ons", u"er"}, {u"ez", u"er"}, {u"ait", u"er"}, {u"é", u"er"}, {u"e", u"er"},
};
constexpr Ending kEnglishEndings[] = {
    {u"s", u""},   {u"es", u""},  {u"ies", u"y"}, {u"ed", u""},
    {u"ed", u"e"}, {u"ing", u""}, {u"ing", u"e"}, {u"d", u""},
};

const QHash<QString, QString> &IrregularForms(const QString &sourceCode)
{
    static const QHash<QString, QString> german{
        {QStringLiteral("ist"), QStringLiteral("sein")},
        {QStringLiteral("sind"), QStringLiteral("sein")},
        {QStringLiteral("bin"), QStringLiteral("sein")},
        {QStringLiteral("bist"), QStringLiteral("sein")},
        {QStringLiteral("seid"), QStringLiteral("sein")},
        {QStringLiteral("war"), QStringLiteral("sein")},
        {QStringLiteral("waren"), QStringLiteral("sein")},
        {QStringLiteral("hat"), QStringLiteral("haben")},
        {QStringLiteral("hast"), QStringLiteral("haben")},
        {QStringLiteral("habe"), QStringLiteral("haben")},
        {QStringLiteral("hatte"), QStringLiteral("haben")},
        {QStringLiteral("wird"), QStringLiteral("werden")},
        {QStringLiteral("wirst"), QStringLiteral("werden")},
        {QStringLiteral("wurde"), QStringLiteral("werden")},
        {QStringLiteral("kann"), QStringLiteral("können")},
        {QStringLiteral("muss"), QStringLiteral("müssen")},
        {QStringLiteral("will"), QStringLiteral("wollen")},
        {QStringLiteral("gibt"), QStringLiteral("geben")},
    };
    static const QHash<QString, QString> french{
        {QStringLiteral("est"), QStringLiteral("être")},
        {QStringLiteral("sont"), QStringLiteral("être")},
        {QStringLiteral("suis"), QStringLiteral("être")},
        {QStringLiteral("es"), QStringLiteral("être")},
        {QStringLiteral("sommes"), QStringLiteral("être")},
        {QStringLiteral("êtes"), QStringLiteral("être")},
        {QStringLiteral("était"), QStringLiteral("être")},
        {QStringLiteral("ont"), QStringLiteral("avoir")},
        {QStringLiteral("as"), QStringLiteral("avoir")},
        {QStringLiteral("avons"), QStringLiteral("avoir")},
        {QStringLiteral("avez"), QStringLiteral("avoir")},
        {QStringLiteral("avait"), QStringLiteral("avoir")},
        {QStringLiteral("vais"), QStringLiteral("aller")},
        {QStringLiteral("va"), QStringLiteral("aller")},
        {QStringLiteral("vont"), QStringLiteral("aller")},
        {QStringLiteral("fait"), QStringLiteral("faire")},
        {QStringLiteral("font"), QStringLiteral("faire")},
        {QStringLiteral("peut"), QStringLiteral("pouvoir")},
        {QStringLiteral("veut"), QStringLiteral("vouloir")},
        {QStringLiteral("dort"), QStringLiteral("dormir")},
    };
    static const QHash<QString, QString> english{
        {QStringLiteral("is"), QStringLiteral("be")},
        {QStringLiteral("are"), QStringLiteral("be")},
        {QStringLiteral("am"), QStringLiteral("be")},
        {QStringLiteral("was"), QStringLiteral("be")},
        {QStringLiteral("were"), QStringLiteral("be")},
        {QStringLiteral("has"), QStringLiteral("have")},
        {QStringLiteral("had"), QStringLiteral("have")},
        {QStringLiteral("does"), QStringLiteral("do")},
        {QStringLiteral("did"), QStringLiteral("do")},
        {QStringLiteral("children"), QStringLiteral("child")},
        {QStringLiteral("men"), QStringLiteral("man")},
        {QStringLiteral("women"), QStringLiteral("woman")},
        {QStringLiteral("went"), QStringLiteral("go")},
        {QStringLiteral("people"), QStringLiteral("person")},
    };
    static const QHash<QString, QString> none;
    if (sourceCode == u"de")
        return german;
    if (sourceCode == u"fr")
        return french;
    if (sourceCode == u"en")
        return english;
    return none;
}

template <std::size_t N>
void AddEndingForms(const Ending (&endings)[N], const QString &word, QStringList *forms)
{
    for (const Ending &rule : endings) {
        const QString ending = QString::fromUtf16(rule.ending);
        if (word.size() - ending.size() < kShortestStem ||
            !word.endsWith(ending, Qt::CaseInsensitive))
            continue;
        const QString form = word.chopped(ending.size()) + QString::fromUtf16(rule.replacement);
        if (!forms->contains(form))
            forms->push_back(form);
    }
}

}  // namespace

QStringList DictionaryForms(const QString &sourceCode, const QString &word)
{
    QStringList forms;
    const auto irregular = IrregularForms(sourceCode).constFind(word.toLower());
    if (irregular != IrregularForms(sourceCode).constEnd())
        forms.push_back(*irregular);
    forms.push_back(word);
    if (sourceCode == u"de")
        AddEndingForms(kGermanEndings, word, &forms);
    else if (sourceCode == u"fr")
        AddEndingForms(kFrenchEndings, word, &forms);
    else if (sourceCode == u"en")
        AddEndingForms(kEnglishEndings, word, &forms);
    return forms;
}

}  // namespace verz
