#pragma once

#include <QString>

namespace verz {

class WordLists;

// The language of a text among the six, as a two-letter code, with a
// confidence from 0 to 100. sure says whether the answer may choose a pair
// by itself; an empty code means no language was found at all (no letters).
struct LanguageGuess {
    QString code;
    double confidence = 0;
    bool sure = false;
};

// The statistical detector decides alone on a text long enough for it; a
// short text (a word, a line) is scored by the words each language's
// hunspell list knows as well, with the detector's view as a lesser weight.
// Only the first kDetectedPrefix characters are read, whatever the text's size.
inline constexpr qsizetype kDetectedPrefix = 8192;

LanguageGuess DetectLanguage(const QString &text, const WordLists &lists);

// The same with the lists of /usr/share/hunspell, opened on the first text
// that needs them and kept for the life of the process (opening all six takes
// a fraction of a second).
LanguageGuess DetectLanguage(const QString &text);

}  // namespace verz
