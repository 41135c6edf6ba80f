#pragma once

#include <QString>

namespace verz {

class Dictionary;

// The box text for a pair answered from a dictionary, honest about being
// one. Up to three words: the commonest translations of the phrase ("bon,
// bonne, bien"), or of each word when the phrase is no headword ("gut : bon,
// bien ; Haus : maison"). Longer texts: each word replaced by its first
// translation after a French line saying so, unknown words left as typed.
QString DictionaryAnswer(Dictionary &dictionary, const QString &sourceCode, const QString &text);

}  // namespace verz
