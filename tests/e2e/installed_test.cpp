// The program as the package installs it, with nothing listening on the
// service's port: its first click starts the installed service, which starts
// the real engine, and the translation appears. Run by the packaging check
// in a network namespace of its own (VERZ_INSTALLED_ROOT: the unpacked tree).
#include "e2e/program_fixture.h"
#include "e2e/skin_points.h"

#include <QElapsedTimer>
#include <QSettings>

#include <iostream>

namespace verz::e2e {
namespace {

class InstalledFirstClick : public ProgramTest {
protected:
    void SetUp() override
    {
        installedRoot_ = qEnvironmentVariable("VERZ_INSTALLED_ROOT");
        if (installedRoot_.isEmpty())
            GTEST_SKIP() << "needs VERZ_INSTALLED_ROOT (tools/test-extra/package.sh sets it)";
        ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
        programPath_ = installedRoot_ + QStringLiteral("/usr/bin/Verzolan");
        QSettings store(settingsPath(), QSettings::IniFormat);
        store.remove(QStringLiteral("data/service"));  // the default service, as installed
    }
    QString installedRoot_;
};

TEST_F(InstalledFirstClick, StartsTheInstalledServiceAndShowsTheTranslation)
{
    ASSERT_NO_FATAL_FAILURE(launch());
    click(at::Option1(0));  // "Anglais vers Français"
    ASSERT_TRUE(waitForStoredRow(QStringLiteral("0")));
    click(at::Text1);
    ASSERT_TRUE(Type(QStringLiteral("Good morning")));
    QElapsedTimer clock;
    clock.start();
    click(at::Command6);
    EXPECT_EQ(outputText(QStringLiteral("Bonjour "), 15000), QStringLiteral("Bonjour "));
    std::cout << "first click to translation: " << clock.elapsed() << " ms\n";
    EXPECT_TRUE(standIn_.requests().isEmpty());
    ASSERT_NO_FATAL_FAILURE(quit());
}

}  // namespace
}  // namespace verz::e2e
