#include "detect/language_detector.h"

#include "detect/cld_scores.h"
#include "detect/function_words.h"
#include "detect/word_lists.h"

#include <algorithm>

namespace verz {

namespace {

// From this many words on the detector's own "reliable" is taken as it is.
constexpr int kWordsDetectorTrusted = 8;
// A short text's words looked up at most (the first of them).
constexpr int kWordsLookedUp = 40;
// How much the detector's percentage weighs against the share of known words.
constexpr double kDetectorWeight = 0.25;
// The winner's share of the two best scores from which a short text's answer is sure.
constexpr double kSureShare = 62.0;

LanguageGuess Guess(int index, double confidence, bool sure)
{
    return {QLatin1String(DetectedLanguageCodes()[index]), confidence, sure};
}

}  // namespace

namespace {

template <typename Lists> LanguageGuess Detect(const QString &text, const Lists &lists)
{
    const QString prefix = text.left(kDetectedPrefix);
    const CldScores cld = ScoreWithCld(prefix.toUtf8());
    const QStringList words = WordsOf(prefix, kWordsLookedUp);
    if (cld.reliable && words.size() >= kWordsDetectorTrusted)
        return Guess(cld.best, std::clamp(cld.percent[cld.best], 0, 100), true);
    if (words.isEmpty()) {
        if (cld.best >= 0)
            return Guess(cld.best, cld.percent[cld.best], false);
        return {};
    }

    const auto known = lists().knownWeights(words);
    const auto small = FunctionWordWeights(words);
    std::array<double, kDetectedLanguageCount> score{};
    for (int at = 0; at < kDetectedLanguageCount; ++at) {
        score[at] = (known[at] + small[at]) / static_cast<double>(words.size()) +
                    kDetectorWeight * cld.percent[at] / 100.0;
    }
    // Ties go to the detector's first answer, then to the order of the list.
    int best = cld.best >= 0 ? cld.best : 0;
    for (int at = 0; at < kDetectedLanguageCount; ++at) {
        if (score[at] > score[best])
            best = at;
    }
    double second = 0;
    for (int at = 0; at < kDetectedLanguageCount; ++at) {
        if (at != best)
            second = std::max(second, score[at]);
    }
    if (score[best] <= 0)
        return Guess(best, 0, false);
    const double share = 100.0 * score[best] / (score[best] + second);
    return Guess(best, share, share >= kSureShare);
}

}  // namespace

LanguageGuess DetectLanguage(const QString &text, const WordLists &lists)
{
    return Detect(text, [&lists]() -> const WordLists & { return lists; });
}

LanguageGuess DetectLanguage(const QString &text)
{
    return Detect(text, []() -> const WordLists & {
        static const WordLists lists;
        return lists;
    });
}

}  // namespace verz
