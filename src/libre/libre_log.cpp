#include "libre/libre_log.h"

namespace verz {

Q_LOGGING_CATEGORY(lcLibre, "verzolan.libre")

}  // namespace verz
