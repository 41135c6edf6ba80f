#pragma once

#include <QLoggingCategory>

namespace verz {

// "verzolan.libre": what becomes of the LibreTranslate server. QT_LOGGING_RULES
// silences or widens it, and under a service manager the journal shows it.
Q_DECLARE_LOGGING_CATEGORY(lcLibre)

}  // namespace verz
