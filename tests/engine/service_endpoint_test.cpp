#include "engine/service_endpoint.h"
#include "platform/settings_store.h"

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

}  // namespace
}  // namespace verz
