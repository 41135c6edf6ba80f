#include "engine/service_endpoint.h"

#include "platform/settings_store.h"

namespace verz {

QString ServiceHostFromSettings(const QString &appName)
{
    const QString stored =
        GetSetting(appName, QStringLiteral("data"), QStringLiteral("service"), QString()).trimmed();
    return stored.isEmpty() ? QString::fromUtf16(kDefaultServiceHost) : stored;
}

bool ServiceNamedInSettings(const QString &appName)
{
    return !GetSetting(appName, QStringLiteral("data"), QStringLiteral("service"), QString())
                .trimmed()
                .isEmpty();
}

}  // namespace verz
