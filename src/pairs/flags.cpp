#include "pairs/flags.h"

#include <array>

namespace verz {

namespace {
// Position in this list is the Image2 index of the language's flag.
constexpr std::array<char16_t const *, 6> kFlagCodes{u"fr", u"en", u"es", u"de", u"pt", u"it"};
}  // namespace

std::optional<int> FlagIndexForCode(const QString &code)
{
    for (std::size_t i = 0; i < kFlagCodes.size(); ++i) {
        if (code == QString::fromUtf16(kFlagCodes[i]))
            return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<int> SourceFlagIndex(const QString &lang)
{
    return FlagIndexForCode(lang.left(2));
}

std::optional<int> TargetFlagIndex(const QString &lang)
{
    return FlagIndexForCode(lang.right(2));
}

}  // namespace verz
