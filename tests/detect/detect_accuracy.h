#pragma once

#include "detect/language_detector.h"
#include "detect_corpus.h"

#include <QStringList>

#include <functional>

namespace verz::test {

struct Tally {
    int right = 0;
    int sureRight = 0;  // right and called sure
    int sureWrong = 0;  // wrong yet called sure: a pair chosen wrongly
    int total = 0;
    double percent() const { return total ? 100.0 * right / total : 0; }
};

// Every run of `length` words (cut at spaces, punctuation kept) taken one
// after the other from the corpus sentences of `code`, detected.
inline Tally MeasureDetection(const char *code, int length,
                              const std::function<LanguageGuess(const QString &)> &detect)
{
    Tally tally;
    for (const CorpusLanguage &language : DetectCorpus()) {
        if (QLatin1String(language.code) != QLatin1String(code))
            continue;
        for (const char *sentence : language.sentences) {
            const QStringList words = QString::fromUtf8(sentence).split(u' ');
            for (qsizetype start = 0; start + length <= words.size(); start += length) {
                const LanguageGuess guess = detect(words.mid(start, length).join(u' '));
                const bool right = guess.code == QLatin1String(code);
                ++tally.total;
                tally.right += right;
                tally.sureRight += right && guess.sure;
                tally.sureWrong += !right && guess.sure;
            }
        }
    }
    return tally;
}

}  // namespace verz::test
