#pragma once

#include "detect/cld_scores.h"

#include <QStringList>

#include <array>

namespace verz {

// The most frequent small words of each language (articles, pronouns,
// prepositions, common verb forms), the ones a short selection is made of
// and that the hunspell lists know in several languages at once ("die",
// "con", "per"). Each word found gives 1/k to each of the k languages that
// list it. Words of one letter count here too ("y", "e", "é").
std::array<double, kDetectedLanguageCount> FunctionWordWeights(const QStringList &words);

}  // namespace verz
