#pragma once

#include "detect/cld_scores.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class Hunspell;

namespace verz {

// The hunspell dictionaries of the six languages, as word lists: how much of
// a text's words each language knows (inflections included, through the
// affix rules). A word known to k of the lists gives each of them 1/k, so
// "casa" tells less than "Haus". A missing dictionary knows no word.
class WordLists {
public:
    explicit WordLists(const QString &folder = QStringLiteral("/usr/share/hunspell"));
    ~WordLists();
    WordLists(const WordLists &) = delete;
    WordLists &operator=(const WordLists &) = delete;

    std::array<double, kDetectedLanguageCount> knownWeights(const QStringList &words) const;

private:
    std::array<std::unique_ptr<Hunspell>, kDetectedLanguageCount> spellers_;
};

// The words of a text as the lists hold them: runs of letters, an apostrophe
// or a hyphen inside a word cutting it ("l'homme" is "l" and "homme").
QStringList WordsOf(const QString &text, int atMost);

}  // namespace verz
