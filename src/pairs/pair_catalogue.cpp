#include "pairs/pair_catalogue.h"

#include "common/languages.h"

namespace verz {

namespace {

std::array<LanguagePair, kPairRowCount> BuildCatalogue()
{
    const LanguagePair separator{QStringLiteral("---------------------"), {}};
    std::array<LanguagePair, kPairRowCount> rows;
    std::size_t row = 0;
    for (const OfferedPair &pair : OfferedPairs()) {
        if (pair.startsGroup && row > 0)
            rows.at(row++) = separator;
        rows.at(row++) = {pair.label(), pair.code()};
    }
    rows.at(row++) = separator;
    return rows;
}

}  // namespace

const std::array<LanguagePair, kPairRowCount> &PairCatalogue()
{
    static const std::array<LanguagePair, kPairRowCount> catalogue = BuildCatalogue();
    return catalogue;
}

}  // namespace verz
