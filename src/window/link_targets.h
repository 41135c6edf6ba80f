#pragma once

#include "platform/app_info.h"

#include <QString>

namespace verz {

// Where the about panel's links lead; fixed texts, used as they stand.
QString ServiceHomePage();
QString AuthorWebSite();
// The mail prefix, then major "." minor: "...?subject=Verzolan V3.1".
QString MailLink(Version version);

}  // namespace verz
