#include "http/http_request.h"

namespace verz {

QByteArray HttpRequest::field(QByteArrayView name) const
{
    for (const auto &[fieldName, value] : fields) {
        if (fieldName.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

}  // namespace verz
