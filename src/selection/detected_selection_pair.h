#pragma once

#include <QString>

namespace verz {

// The pair for a selected text from its detected language, as a click on
// that pair's button would choose it: into French, French into English, and
// Spanish, Portuguese or Italian into English, their only pair (into target
// when one is given, --pair 'auto|en'). -1 when the detector is unsure or no
// pair fits: the window's chosen pair then, as before detection.
int DetectedSelectionRow(const QString &text, const QString &target = {});

}  // namespace verz
