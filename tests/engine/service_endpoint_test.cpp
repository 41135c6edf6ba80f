#include "engine/service_endpoint.h"
#include "platform/settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace verz {
namespace {

// Qt reads the settings folder once per process, so the whole binary gets one
// private folder, set before the first settings access.
class ServiceHostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir config;
        ASSERT_TRUE(config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    }
};

TEST_F(ServiceHostTest, DefaultsToTheLocalService)
{
    EXPECT_EQ(ServiceHostFromSettings(QStringLiteral("VerzEngineTestA")),
              QStringLiteral("127.0.0.1:8787"));
}

TEST_F(ServiceHostTest, SettingsEntryOverrides)
{
    const QString app = QStringLiteral("VerzEngineTestB");
    SaveSetting(app, QStringLiteral("data"), QStringLiteral("service"),
                QStringLiteral(" 127.0.0.1:9999 "));
    EXPECT_EQ(ServiceHostFromSettings(app), QStringLiteral("127.0.0.1:9999"));
    SaveSetting(app, QStringLiteral("data"), QStringLiteral("service"), QString());
    EXPECT_EQ(ServiceHostFromSettings(app), QStringLiteral("127.0.0.1:8787"));
}

TEST(ScratchFile, BesideTheProgramWhenItsFolderIsWritable)
{
    QTemporaryDir app;
    QTemporaryDir cache;
    EXPECT_EQ(ScratchFilePathIn(app.path(), cache.filePath(QStringLiteral("c"))),
              app.filePath(QStringLiteral("Verz.txt")));
    // The test binary's own folder is writable, so its scratch file lies there.
    EXPECT_EQ(ScratchFilePath(),
              QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Verz.txt")));
}

TEST(ScratchFile, InTheCacheFolderOtherwise)
{
    QTemporaryDir root;
    // A file where the folder should be: nothing can be written "in" it.
    QFile notAFolder(root.filePath(QStringLiteral("app")));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    const QString cache = root.filePath(QStringLiteral("cache/verz"));
    EXPECT_EQ(ScratchFilePathIn(notAFolder.fileName(), cache),
              QDir(cache).filePath(QStringLiteral("Verz.txt")));
    EXPECT_TRUE(QDir(cache).exists());
}

}  // namespace
}  // namespace verz
