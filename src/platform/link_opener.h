#pragma once

#include <QString>

#include <functional>

namespace verz {

// Opens a web address or a mail link in the user's default program. A failure
// (no browser, no mail program) is ignored: the caller never learns of it.
// Tests swap the opener so that no browser starts.
using LinkOpener = std::function<void(const QString &target)>;

void OpenLink(const QString &target);
LinkOpener SetLinkOpener(LinkOpener opener);  // returns the previous one

}  // namespace verz
