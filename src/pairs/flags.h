#pragma once

#include <QString>

#include <optional>

namespace verz {

// Index of the flag picture (Image2) for a two-letter language code, tested in
// the order fr, en, es, de, pt, it with exact, case-sensitive comparison.
std::optional<int> FlagIndexForCode(const QString &code);

// The flags of a pair code: first and last two characters ("en|fr" gives
// English and French). Empty when the code names no known language, so the
// flag on show stays as it is.
std::optional<int> SourceFlagIndex(const QString &lang);
std::optional<int> TargetFlagIndex(const QString &lang);

}  // namespace verz
