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

}  // namespace verz
