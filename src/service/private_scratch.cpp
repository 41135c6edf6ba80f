#include "service/private_scratch.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace verz {

namespace {

std::unique_ptr<QTemporaryDir> &Scratch()
{
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

}  // namespace

QString PrivateScratchFolder()
{
    std::unique_ptr<QTemporaryDir> &folder = Scratch();
    if (!folder) {
        // QTemporaryDir makes it readable by its owner only.
        folder = std::make_unique<QTemporaryDir>(
            QDir::temp().filePath(QStringLiteral("verzolan-service-XXXXXX")));
        if (!folder->isValid())
            return {};
    }
    return folder->isValid() ? folder->path() : QString();
}

void RemovePrivateScratch()
{
    Scratch().reset();
}

}  // namespace verz
