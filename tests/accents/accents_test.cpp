// Accent restoration against Debian's hunspell dictionaries (hunspell-fr,
// -es, -pt-pt, -it): each rule, accented text untouched, mixed text.
#include "accents/accent_restorer.h"

#include <gtest/gtest.h>

namespace verz {
namespace {

std::string Restored(const char *language, const char *text)
{
    const auto restorer = AccentRestorer::ForLanguage(QString::fromLatin1(language));
    if (!restorer)
        return "(no dictionary)";
    return restorer->restore(QString::fromUtf8(text)).toStdString();
}

struct Case {
    const char *language;
    const char *folded;
    const char *restored;
};

// Each context rule has a case only it decides: take the rule away (or turn
// it round) and that case fails.
TEST(AccentRestorer, PutsBackWhatTheFoldTookAndLeavesAccentedTextAlone)
{
    for (const Case &c : {
             // Unknown words, re-accented; è before a consonant and a mute e.
             Case{"fr", "Le garcon etait tres content pres de la greve.",
                  "Le garçon était très content près de la grève."},
             // a: a verb after a subject, before a word that follows "avoir",
             // before a participle (but « à cause de »); else à.
             Case{"fr", "Elle a la cle a Lyon.", "Elle a la clé à Lyon."},
             Case{"fr", "Paul a faim.", "Paul a faim."},
             Case{"fr", "Marie a mange a cause de la pluie.", "Marie a mangé à cause de la pluie."},
             // ou: où at a sentence's start, after « sais », before « est »;
             // participles after an auxiliary, an adverb between or not.
             Case{"fr", "Ou travaille-t-il ? Je ne sais ou aller, dis-moi ou est la gare.",
                  "Où travaille-t-il ? Je ne sais où aller, dis-moi où est la gare."},
             Case{"fr", "Tu peux venir ou rester, nous sommes arrives. Il a deja mange.",
                  "Tu peux venir ou rester, nous sommes arrivés. Il a déjà mangé."},
             // e: è after « c' », before an adjective, before an article only
             // at a clause's start, before a superlative; tè after an article.
             Case{"it", "La citta e bella, c'e piu sole e il caffe e ottimo.",
                  "La città è bella, c'è più sole e il caffè è ottimo."},
             Case{"it", "Il castello e la cattedrale, pane e burro. E la mia casa.",
                  "Il castello e la cattedrale, pane e burro. È la mia casa."},
             Case{"it", "Il film e bellissimo, un te caldo.", "Il film è bellissimo, un tè caldo."},
             // e: é after a pronoun, before an adjective, opening a sentence
             // before an article; às before an hour; à before « esquerda »,
             // in « ontem à noite »; the infinitive before a hyphened pronoun.
             Case{"pt", "Ele e alto. O hotel e muito caro. E o meu pai.",
                  "Ele é alto. O hotel é muito caro. É o meu pai."},
             Case{"pt", "O comboio parte as dez, ate amanha. Vire a esquerda, ontem a noite.",
                  "O comboio parte às dez, até amanhã. Vire à esquerda, ontem à noite."},
             Case{"pt", "Prazer em conhece-lo, pao e manteiga.",
                  "Prazer em conhecê-lo, pão e manteiga."},
             // qué opening a question or after its preposition; sé after « no »;
             // té after an article; the future, not the old subjunctive.
             Case{"es", "¿Que hora es? ¿A que hora sale el tren? No se nada.",
                  "¿Qué hora es? ¿A qué hora sale el tren? No sé nada."},
             Case{"es", "Prefiero el te al cafe, llamare.", "Prefiero el té al café, llamaré."},
         })
        EXPECT_EQ(Restored(c.language, c.folded), std::string(c.restored)) << c.folded;

    // With its accents, a text passes unchanged, "a" and "e" included.
    for (const auto &[language, text] :
         {std::pair{"fr", "Il a été à Paris où il a mangé une pêche."},
          std::pair{"it", "Pane e burro: è già più caro in città."},
          std::pair{"pt", "A mãe é italiana e o pai é francês."},
          std::pair{"es", "¿Qué hora es? Está en el andén."}})
        EXPECT_EQ(Restored(language, text), std::string(text));

    // Mixed: an unknown word is restored, but a writer who typed "très" wrote
    // "a" on purpose.
    EXPECT_EQ(Restored("fr", "Il etait très content a Lyon."),
              std::string("Il était très content a Lyon."));
    // No dictionary for the language: unchanged; names and numbers too.
    EXPECT_EQ(AccentRestorer::ForLanguage(QStringLiteral("de")), nullptr);
    EXPECT_EQ(Restored("fr", "Marie habite 12 rue Xyzzy."),
              std::string("Marie habite 12 rue Xyzzy."));
}

}  // namespace
}  // namespace verz
