#pragma once

#include <QString>

#include <array>

namespace verz {

// One row of the catalogue: a French label and a code "xx|yy", source first.
// Separator rows have the label "---------------------" and an empty code.
struct LanguagePair {
    const char16_t *label;
    const char16_t *code;

    QString labelText() const { return QString::fromUtf16(label); }
    QString codeText() const { return QString::fromUtf16(code); }
};

inline constexpr int kPairRowCount = 16;

// The 16 rows in their fixed order; a row's position is its identity in the
// pair lists, the option buttons and the settings store.
const std::array<LanguagePair, kPairRowCount> &PairCatalogue();

}  // namespace verz
