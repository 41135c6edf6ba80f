#include "engine/service_endpoint.h"

#include "platform/app_info.h"
#include "platform/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace verz {

QString ServiceHostFromSettings(const QString &appName)
{
    const QString stored =
        GetSetting(appName, QStringLiteral("data"), QStringLiteral("service"), QString()).trimmed();
    return stored.isEmpty() ? QString::fromUtf16(kDefaultServiceHost) : stored;
}

QString ScratchFilePathIn(const QString &appFolder, const QString &cacheFolder)
{
    const QFileInfo folder(appFolder);
    if (!appFolder.isEmpty() && folder.isDir() && folder.isWritable())
        return QDir(appFolder).filePath(QStringLiteral("Verz.txt"));
    QDir().mkpath(cacheFolder);
    return QDir(cacheFolder).filePath(QStringLiteral("Verz.txt"));
}

QString ScratchFilePath()
{
    static const QString path = ScratchFilePathIn(
        ApplicationFolder(), QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
    return path;
}

}  // namespace verz
