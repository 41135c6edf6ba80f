#include "engine/service_endpoint.h"

#include "platform/app_info.h"
#include "platform/settings_store.h"

namespace verz {

QString ServiceHostFromSettings(const QString &appName)
{
    const QString stored =
        GetSetting(appName, QStringLiteral("data"), QStringLiteral("service"), QString()).trimmed();
    return stored.isEmpty() ? QString::fromUtf16(kDefaultServiceHost) : stored;
}

QString ScratchFilePath()
{
    return ApplicationFolder() + QStringLiteral("/Verz.txt");
}

}  // namespace verz
