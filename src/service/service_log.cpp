#include "service/service_log.h"

namespace verz {

Q_LOGGING_CATEGORY(lcService, "verzolan.service")

}  // namespace verz
