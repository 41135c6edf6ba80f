#pragma once

#include <QString>

namespace verz {

// The offered pair from a detected source language: into target when given,
// otherwise into French, or into English for a French text. Empty when the
// twelve pairs hold no such pair.
QString PairForDetectedLanguage(const QString &source, const QString &target = {});

// The pair a click would choose for a text in source: PairForDetectedLanguage
// when there is one, otherwise the first pair offered from source (Spanish
// goes only into English). Empty for a language the pairs never start from.
QString PreferredPairFor(const QString &source);

// "--pair auto" or "auto|en": true, with the target ("" for the default).
bool IsAutoPairCode(const QString &code, QString *target);

// The French message for a detected pair the twelve do not hold, naming those there are.
QString NoSuchDetectedPairMessage(const QString &source, const QString &target);

}  // namespace verz
