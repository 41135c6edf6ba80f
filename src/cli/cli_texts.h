#pragma once

#include <QString>

namespace verz {

// What the informative options print, each ending in a line end.
QString HelpText();      // --help: every option and the exit statuses, in French
QString PairListText();  // --list-pairs: "code<TAB>label" per pair, in the window's order
QString VersionLine();   // --version: "Verzolan 3.1"

}  // namespace verz
