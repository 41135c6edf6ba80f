#pragma once

#include <QString>

#include <array>

namespace verz {

// One row of the catalogue: a French label and a code "xx|yy", source first.
// Separator rows have the label "---------------------" and an empty code.
struct LanguagePair {
    QString label;
    QString code;

    const QString &labelText() const { return label; }
    const QString &codeText() const { return code; }
};

inline constexpr int kPairRowCount = 16;

// The 16 rows in their fixed order: the offered pairs, each group followed by
// a separator. A row's position is its identity in the pair lists, the option
// buttons and the settings store.
const std::array<LanguagePair, kPairRowCount> &PairCatalogue();

}  // namespace verz
