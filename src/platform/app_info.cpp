#include "platform/app_info.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace verz {

QString ExecutableBaseName()
{
    const QString path = QCoreApplication::applicationFilePath();
    if (path.isEmpty())
        return QStringLiteral("Verzolan");
    return QFileInfo(path).completeBaseName();
}

QString ApplicationFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString VersionText(int major, int minor)
{
    return QStringLiteral("Version: ") + QString::number(major) + QLatin1Char('.') +
           QString::number(minor);
}

}  // namespace verz
