#include "engine/service_endpoint.h"

#include "platform/settings_store.h"

#include <QDebug>

namespace verz {

namespace {
QString StoredService(const QString &appName)
{
    return GetSetting(appName, QStringLiteral("data"), QStringLiteral("service"), QString())
        .trimmed();
}
}  // namespace

QString ServiceHostFromSettings(const QString &appName)
{
    // The file may name a service this run cannot read: asking the default
    // one would send the user's text where the user did not choose.
    if (!SettingsReadable(appName)) {
        qWarning().noquote() << QStringLiteral(
                                    "Verzolan : réglages illisibles, aucun service demandé : ") +
                                    SettingsFilePath(appName);
        return QString();
    }
    const QString stored = StoredService(appName);
    return stored.isEmpty() ? QString::fromUtf16(kDefaultServiceHost) : stored;
}

bool ServiceNamedInSettings(const QString &appName)
{
    return !SettingsReadable(appName) || !StoredService(appName).isEmpty();
}

}  // namespace verz
