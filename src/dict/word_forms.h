#pragma once

#include <QString>
#include <QStringList>

namespace verz {

// The headwords an inflected word may be filed under, likeliest first, the
// word itself among them: dictionaries list "spielen" and "Kind", a text says
// "spielt" and "Kinder". The commonest irregular forms come before the word
// ("est" is "être" far more often than the compass point), endings taken off
// or turned into the infinitive's after it.
QStringList DictionaryForms(const QString &sourceCode, const QString &word);

}  // namespace verz
