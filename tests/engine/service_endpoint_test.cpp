#include "engine/service_endpoint.h"
#include "platform/settings_store.h"

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

// Files as editors save them: each names 127.0.0.1:9 and must be read as it
// means, never as naming no service (the default one would get the text).
TEST_F(ServiceHostTest, SettingsAsEditorsSaveThemAreReadAsMeantOrNotAtAll)
{
    const auto hostFrom = [](const QByteArray &bytes) {
        const QString app = QStringLiteral("VerzEngineTestC");
        const QString folder = QFile::decodeName(qgetenv("XDG_CONFIG_HOME")) + u'/' + app;
        QDir().mkpath(folder);
        QFile file(folder + u'/' + app + QStringLiteral(".conf"));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.close();
        return std::pair(ServiceHostFromSettings(app), ServiceNamedInSettings(app));
    };
    const std::pair named(QStringLiteral("127.0.0.1:9"), true);
    EXPECT_EQ(hostFrom("\xef\xbb\xbf[data]\nservice=127.0.0.1:9\n"), named);
    EXPECT_EQ(hostFrom("[data]\r\nlist=3\r\nservice=127.0.0.1:9\r\n"), named);
    EXPECT_EQ(hostFrom("[Data]\nservice=127.0.0.1:9\n"), named);
    EXPECT_EQ(hostFrom("[ data ]\n  service = 127.0.0.1:9 \n"), named);
    // Damaged lines (bytes that are no UTF-8, a NUL, no key) cost only themselves.
    EXPECT_EQ(hostFrom(QByteArray("[data]\n\xff\xfe\xfd\0 \xc3( garbage\nno equals sign\n=no key\n"
                                  "\x01\x02\x7f\n;\xe9t\xe9\nlist=pas un nombre\n"
                                  "service=127.0.0.1:9\n",
                                  94)),
              named);
    const QString text = QStringLiteral("[data]\nservice=127.0.0.1:9\n");
    QByteArray little("\xff\xfe");
    QByteArray big("\xfe\xff");
    for (const QChar c : text) {
        little.append(char(c.cell())).append(char(c.row()));
        big.append(char(c.row())).append(char(c.cell()));
    }
    EXPECT_EQ(hostFrom(little), named);
    EXPECT_EQ(hostFrom(big), named);
    // Without its mark, UTF-16 is no text this reader knows: no service at all.
    EXPECT_EQ(hostFrom(little.sliced(2)), std::pair(QString(), true));
    EXPECT_EQ(hostFrom("[other]\nservice=127.0.0.1:9\n"),
              std::pair(QStringLiteral("127.0.0.1:8787"), false));
}

}  // namespace
}  // namespace verz
