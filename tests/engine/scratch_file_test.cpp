#include "engine/scratch_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace verz {
namespace {

TEST(ScratchFolder, ProgramFolderThenCacheFolderThenNone)
{
    QTemporaryDir root;
    const QString cache = root.filePath(QStringLiteral("cache/verz"));
    EXPECT_EQ(ScratchFolderIn(root.path(), cache), root.path());
    EXPECT_FALSE(QDir(cache).exists());

    // A file where the folder should be: nothing can be written "in" it.
    QFile notAFolder(root.filePath(QStringLiteral("app")));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    EXPECT_EQ(ScratchFolderIn(notAFolder.fileName(), cache), cache);
    EXPECT_TRUE(QDir(cache).exists());

    // Neither usable: said so, not passed over.
    QString problem;
    const QString uncreatable = notAFolder.fileName() + QStringLiteral("/cache");
    EXPECT_EQ(ScratchFolderIn(notAFolder.fileName(), uncreatable, &problem), QString());
    EXPECT_TRUE(problem.contains(uncreatable)) << problem.toStdString();
}

TEST(ScratchFileClaim, OneWindowKeepsVerzTxtOthersGetTheirOwnName)
{
    QTemporaryDir folder;
    const QString shared = folder.filePath(QStringLiteral("Verz.txt"));
    {
        const ScratchFileClaim first(folder.path());
        EXPECT_EQ(first.path(), shared);
        EXPECT_TRUE(first.holdsSharedName());
        const ScratchFileClaim second(folder.path());
        EXPECT_FALSE(second.holdsSharedName());
        EXPECT_NE(second.path(), shared);
        EXPECT_EQ(QFileInfo(second.path()).path(), folder.path());
    }
    // Released with its holder, and a lock left by a process that is gone is taken over.
    QFile lock(folder.filePath(QStringLiteral("Verz.txt.lock")));
    EXPECT_FALSE(lock.exists());
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("999999999\nVerzolan\n\n");
    lock.close();
    const ScratchFileClaim afterCrash(folder.path());
    EXPECT_EQ(afterCrash.path(), shared);
    EXPECT_EQ(ScratchFileClaim(QString()).path(), QString());
}

TEST(ScratchFileClaim, TheProcessClaimsBesideTheProgram)
{
    // The test binary's own folder is writable and no other window runs there.
    EXPECT_EQ(ScratchFilePath(),
              QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Verz.txt")));
    EXPECT_EQ(ScratchFilePath(), ScratchFilePath());
}

}  // namespace
}  // namespace verz
