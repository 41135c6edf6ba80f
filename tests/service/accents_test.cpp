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

TEST(AccentRestorer, PutsBackWhatTheFoldTookAndLeavesAccentedTextAlone)
{
    // Unknown words, re-accented; è before a consonant and a mute e.
    EXPECT_EQ(Restored("fr", "Le garcon etait tres content pres de la greve."),
              std::string("Le garçon était très content près de la grève."));
    // a/à and ou/où by context; participles after an auxiliary.
    EXPECT_EQ(Restored("fr", "Il a ete a la gare. Ou est le vol qui a ete annule ?"),
              std::string("Il a été à la gare. Où est le vol qui a été annulé ?"));
    EXPECT_EQ(Restored("fr", "Tu peux venir ou rester, nous sommes arrives a midi."),
              std::string("Tu peux venir ou rester, nous sommes arrivés à midi."));
    EXPECT_EQ(Restored("it", "La citta e bella, c'e piu sole e il caffe e ottimo."),
              std::string("La città è bella, c'è più sole e il caffè è ottimo."));
    EXPECT_EQ(Restored("it", "Il castello e la cattedrale, pane e burro."),
              std::string("Il castello e la cattedrale, pane e burro."));
    EXPECT_EQ(Restored("pt", "Isto e muito caro. O comboio parte as dez, ate amanha."),
              std::string("Isto é muito caro. O comboio parte às dez, até amanhã."));
    EXPECT_EQ(Restored("pt", "Prazer em conhece-lo, pao e manteiga."),
              std::string("Prazer em conhecê-lo, pão e manteiga."));
    EXPECT_EQ(Restored("es", "¿A que hora sale el tren? Prefiero el te al cafe, llamare."),
              std::string("¿A qué hora sale el tren? Prefiero el té al café, llamaré."));

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
