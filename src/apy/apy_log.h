#pragma once

#include <QLoggingCategory>

namespace verz {

// "verzolan.apy": what becomes of the APy servers. QT_LOGGING_RULES silences or widens it,
// and under a service manager the journal shows it.
Q_DECLARE_LOGGING_CATEGORY(lcApy)

}  // namespace verz
