#include "apy/apy_log.h"

namespace verz {

Q_LOGGING_CATEGORY(lcApy, "verzolan.apy")

}  // namespace verz
