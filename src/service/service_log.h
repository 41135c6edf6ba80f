#pragma once

#include <QLoggingCategory>

namespace verz {

// "verzolan.service": the service's own messages. QT_LOGGING_RULES silences or widens it,
// and under a service manager the journal shows it.
Q_DECLARE_LOGGING_CATEGORY(lcService)

}  // namespace verz
