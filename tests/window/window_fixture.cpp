#include "window_fixture.h"

#include "engine/scratch_file.h"
#include "engine/service_endpoint.h"
#include "platform/app_info.h"
#include "platform/settings_store.h"

#include <QFile>
#include <QSettings>

namespace verz::test {

void WindowTest::SetUp()
{
    ASSERT_TRUE(config_.isValid());
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    // QSettings resolves its folders once per process; point it here as well.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
    store(QStringLiteral("service"), QStringLiteral("127.0.0.1:1"));
    QFile::remove(ScratchFilePath());
}

void WindowTest::TearDown()
{
    QFile::remove(ScratchFilePath());
}

void WindowTest::store(const QString &key, const QString &value)
{
    SaveSetting(ExecutableBaseName(), QStringLiteral("data"), key, value);
}

QString WindowTest::stored(const QString &key) const
{
    return GetSetting(ExecutableBaseName(), QStringLiteral("data"), key, QStringLiteral("<none>"));
}

void WindowTest::forget(const QString &key)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, ExecutableBaseName(),
                       ExecutableBaseName());
    settings.remove(QStringLiteral("data/") + key);
    settings.sync();
}

std::unique_ptr<Verz> WindowTest::open(Verz::StartupTrace trace)
{
    auto window = std::make_unique<Verz>(std::move(trace));
    VerzTestSeam::setProgramEnder(*window, [](int) {});
    return window;
}

}  // namespace verz::test
