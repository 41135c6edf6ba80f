#include "pairs/pair_catalogue.h"

namespace verz {

namespace {
constexpr char16_t kSeparator[] = u"---------------------";

constexpr std::array<LanguagePair, kPairRowCount> kCatalogue{{
    {u"Anglais vers Français", u"en|fr"},
    {u"Anglais vers Italien", u"en|it"},
    {u"Anglais vers Portugais", u"en|pt"},
    {u"Anglais vers Allemand", u"en|de"},
    {u"Anglais vers Espagnol", u"en|es"},
    {kSeparator, u""},
    {u"Français vers Anglais", u"fr|en"},
    {u"Français vers Allemand", u"fr|de"},
    {kSeparator, u""},
    {u"Allemand vers Français", u"de|fr"},
    {u"Allemand vers Anglais", u"de|en"},
    {kSeparator, u""},
    {u"Espagnol vers Anglais", u"es|en"},
    {u"Portugais vers Anglais", u"pt|en"},
    {u"Italien vers Anglais", u"it|en"},
    {kSeparator, u""},
}};
}  // namespace

const std::array<LanguagePair, kPairRowCount> &PairCatalogue()
{
    return kCatalogue;
}

}  // namespace verz
