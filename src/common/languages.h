#pragma once

#include <QString>

#include <array>

namespace verz {

// One of the six languages the program offers, with the code Apertium knows
// it by and the name the French interface gives it.
struct Language {
    QString code;        // two letters, as in the program's pair codes: "fr"
    QString apertium;    // ISO 639-3, as APy lists it: "fra"
    QString frenchName;  // as in the pair labels: "Français"
};

// nullptr for a code the program never sends.
const Language *LanguageByCode(const QString &twoLetters);

// One of the twelve pairs offered, in the order the window and the home page
// list them; startsGroup marks the first pair of each group the window sets apart.
struct OfferedPair {
    const char *source;  // two-letter codes: "en"
    const char *target;
    bool startsGroup;

    QString code() const;   // "en|fr", as the program sends it
    QString label() const;  // "Anglais vers Français", the window's label
};

inline constexpr int kOfferedPairCount = 12;

// In the window's order.
const std::array<OfferedPair, kOfferedPairCount> &OfferedPairs();

// APy lists some pairs with two-letter codes, others with three: both are
// folded to the three-letter form so routes compare equal. Regional variants
// ("por_BR") stay as they are and never match a plain language.
QString NormalisedApertiumCode(const QString &code);

}  // namespace verz
