#pragma once

#include <QByteArray>

#include <array>

namespace verz {

// The six languages in one fixed order, shared by the scores below.
inline constexpr int kDetectedLanguageCount = 6;
const std::array<const char *, kDetectedLanguageCount> &DetectedLanguageCodes();

// What the statistical detector makes of a UTF-8 text, kept to the six
// languages: each one's share of the text in percent (0 when it is not among
// the detector's three best), and whether the detector itself calls its
// first answer reliable.
struct CldScores {
    std::array<int, kDetectedLanguageCount> percent{};
    int best = -1;  // index of the first answer when it is one of the six
    bool reliable = false;
};

CldScores ScoreWithCld(const QByteArray &utf8);

}  // namespace verz
