#pragma once

#include "accents/accent_restorer.h"

namespace verz {

// The context rules for known words that are also the folded form of another
// word: French a/à, ou/où and past participles after an auxiliary, Italian
// e/è and te/tè, Portuguese e/é, a/à and as/às, Spanish que/qué, te/té, se/sé
// and nouns after an article. Words are changed in place.
void ApplyContextRules(const QString &language, QList<TextPiece> &pieces, const KnownWords &words);

// Ranks the known re-accented forms of one unknown word: the language's
// frequent words first. Lower is better.
int FrequentWordRank(const QString &language, const QString &lowerWord);

// How many of a French form's é and è go against the spelling rule (è before
// a consonant and a mute e); 0 for the other languages.
int SpellingPenalty(const QString &language, const QString &lowerForm);

}  // namespace verz
