#include "engine/scratch_file.h"

#include "platform/app_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QtDebug>

namespace verz {

namespace {
const QString kSharedName = QStringLiteral("Verz.txt");

// Held until the process ends, so the lock is released only then.
std::unique_ptr<ScratchFileClaim> &processClaim()
{
    static std::unique_ptr<ScratchFileClaim> claim;
    return claim;
}
}  // namespace

QString ScratchFolderIn(const QString &appFolder, const QString &cacheFolder, QString *problem)
{
    const QFileInfo folder(appFolder);
    if (!appFolder.isEmpty() && folder.isDir() && folder.isWritable())
        return appFolder;
    if (!cacheFolder.isEmpty() && QDir().mkpath(cacheFolder) && QFileInfo(cacheFolder).isWritable())
        return cacheFolder;
    if (problem != nullptr) {
        *problem = QStringLiteral("impossible d'écrire le fichier de travail dans « ") + appFolder +
                   QStringLiteral(" » ni de créer le dossier « ") + cacheFolder +
                   QStringLiteral(" » : les pages seront lues en mémoire.");
    }
    return QString();
}

ScratchFileClaim::ScratchFileClaim(const QString &folder)
{
    if (folder.isEmpty())
        return;
    const QDir dir(folder);
    auto lock = std::make_unique<QLockFile>(dir.filePath(kSharedName + QStringLiteral(".lock")));
    // A window holds its claim for hours: only a dead owner makes a lock stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        lock_ = std::move(lock);
        path_ = dir.filePath(kSharedName);
        return;
    }
    path_ = dir.filePath(QStringLiteral("Verz-%1.txt").arg(QCoreApplication::applicationPid()));
}

ScratchFileClaim::~ScratchFileClaim() = default;

QString ScratchFilePath()
{
    std::unique_ptr<ScratchFileClaim> &claim = processClaim();
    if (claim == nullptr) {
        QString problem;
        const QString folder = ScratchFolderIn(
            ApplicationFolder(), QStandardPaths::writableLocation(QStandardPaths::CacheLocation),
            &problem);
        if (!problem.isEmpty())
            qWarning().noquote() << QStringLiteral("Verzolan : ") + problem;
        claim = std::make_unique<ScratchFileClaim>(folder);
    }
    return claim->path();
}

QString ClaimedScratchFilePath()
{
    const std::unique_ptr<ScratchFileClaim> &claim = processClaim();
    return claim == nullptr ? QString() : claim->path();
}

}  // namespace verz
