#pragma once

#include <QString>

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

// APy lists some pairs with two-letter codes, others with three: both are
// folded to the three-letter form so routes compare equal. Regional variants
// ("por_BR") stay as they are and never match a plain language.
QString NormalisedApertiumCode(const QString &code);

}  // namespace verz
