#pragma once

#include <QString>

namespace verz {

// What the informative options print, each ending in a line end.
QString HelpText();      // --help: every option and the exit statuses, in French
QString PairListText();  // --list-pairs: "code<TAB>label" per pair, in the window's order
QString VersionLine();   // --version: "Verzolan 3.1"
// The service at host did not answer: the window's « Non Connecté », with
// the host, for a command's standard error or a notification.
QString NotConnectedMessage(const QString &host);

}  // namespace verz
