#include "selection/detected_selection_pair.h"

#include "cli/command_line.h"
#include "detect/detected_pair.h"
#include "detect/language_detector.h"

namespace verz {

int DetectedSelectionRow(const QString &text, const QString &target)
{
    const LanguageGuess guess = DetectLanguage(text);
    if (!guess.sure)
        return -1;
    const QString code = target.isEmpty() ? PreferredPairFor(guess.code)
                                          : PairForDetectedLanguage(guess.code, target);
    return code.isEmpty() ? -1 : PairRowForCode(code);
}

}  // namespace verz
