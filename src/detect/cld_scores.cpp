#include "detect/cld_scores.h"

#include <cld2/public/compact_lang_det.h>

namespace verz {

namespace {

constexpr std::array<CLD2::Language, kDetectedLanguageCount> kCldLanguages{
    CLD2::FRENCH, CLD2::ENGLISH, CLD2::GERMAN, CLD2::SPANISH, CLD2::PORTUGUESE, CLD2::ITALIAN};

int IndexOf(CLD2::Language language)
{
    for (int at = 0; at < kDetectedLanguageCount; ++at) {
        if (kCldLanguages[at] == language)
            return at;
    }
    return -1;
}

}  // namespace

const std::array<const char *, kDetectedLanguageCount> &DetectedLanguageCodes()
{
    static constexpr std::array<const char *, kDetectedLanguageCount> codes{"fr", "en", "de",
                                                                            "es", "pt", "it"};
    return codes;
}

CldScores ScoreWithCld(const QByteArray &utf8)
{
    CldScores scores;
    CLD2::Language language3[3];
    int percent3[3];
    double normalized3[3];
    int textBytes = 0;
    bool reliable = false;
    int validPrefix = 0;
    // The checking entry point: text from outside may hold invalid UTF-8,
    // which the plain one does not expect.
    const CLD2::Language first = CLD2::ExtDetectLanguageSummaryCheckUTF8(
        utf8.constData(), static_cast<int>(utf8.size()), true, nullptr, 0, language3, percent3,
        normalized3, nullptr, &textBytes, &reliable, &validPrefix);
    for (int at = 0; at < 3; ++at) {
        const int index = IndexOf(language3[at]);
        if (index >= 0)
            scores.percent[index] += percent3[at];
    }
    scores.best = IndexOf(first);
    scores.reliable = reliable && scores.best >= 0;
    return scores;
}

}  // namespace verz
