// The program as the package installs it, with nothing listening on the
// service's port: its first click starts the installed service, which starts
// the real engine, and the translation appears; or the window, once shown,
// has it started and warmed before the click. Run by the packaging check in a
// network and process namespace of its own for each fixture
// (VERZ_INSTALLED_ROOT: the unpacked tree).
#include "e2e/program_fixture.h"
#include "e2e/skin_points.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include <algorithm>
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
    // Types into Text1, clicks "Lancer la traduction" and prints the time to
    // "Bonjour " under label.
    void translateGoodMorningTimed(const char *label)
    {
        click(at::Text1);
        ASSERT_TRUE(Type(QStringLiteral("Good morning")));
        QElapsedTimer clock;
        clock.start();
        click(at::Command6);
        EXPECT_EQ(outputText(QStringLiteral("Bonjour "), 15000), QStringLiteral("Bonjour "));
        std::cout << label << ": " << clock.elapsed() << " ms\n";
    }
    QString installedRoot_;
};

// The Apertium modes whose pipelines run ("eng-spa"), from their first
// program's arguments; the process namespace holds only the test's own.
QStringList RunningModes()
{
    QStringList modes;
    const QString suffix = QStringLiteral(".automorf.bin");
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &argument : cmdline.readAll().split('\0')) {
            const QString name = QFileInfo(QString::fromUtf8(argument)).fileName();
            if (name.endsWith(suffix))
                modes.append(name.chopped(suffix.size()));
        }
    }
    return modes;
}

// A route from one language to the other runs whole: a pipeline leaves the
// source, one reaches the target (the same one for a direct route).
bool RouteRuns(const QStringList &modes, const QStringList &sources, const QStringList &targets)
{
    const auto any = [&](auto test) { return std::any_of(modes.begin(), modes.end(), test); };
    return any([&](const QString &mode) { return sources.contains(mode.section(u'-', 0, 0)); }) &&
           any([&](const QString &mode) { return targets.contains(mode.section(u'-', -1)); });
}

using InstalledWarmUp = InstalledFirstClick;

TEST_F(InstalledFirstClick, StartsTheInstalledServiceAndShowsTheTranslation)
{
    // The pair stored is the one clicked: the window's warm-up and the click
    // share one start, and no other pair's pipelines start beside it.
    storeSetting(QStringLiteral("list"), QStringLiteral("0"));
    ASSERT_NO_FATAL_FAILURE(launch());
    click(at::Option1(0));  // "Anglais vers Français"
    ASSERT_TRUE(waitForStoredRow(QStringLiteral("0")));
    ASSERT_NO_FATAL_FAILURE(translateGoodMorningTimed("first click to translation"));
    EXPECT_TRUE(standIn_.requests().isEmpty());
    ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(InstalledWarmUp, WindowStartsTheEngineAndItsPairsPipelinesBeforeTheFirstClick)
{
    storeSetting(QStringLiteral("list"), QStringLiteral("0"));  // "Anglais vers Français"
    ASSERT_NO_FATAL_FAILURE(launch());
    // The service's log: where the window's start put it.
    const auto serviceLog = [&] {
        QDirIterator logs(root_.filePath(QStringLiteral("cache")),
                          {QStringLiteral("verzolan-service.log")}, QDir::Files,
                          QDirIterator::Subdirectories);
        QFile file(logs.hasNext() ? logs.next() : QString());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    // The langpairs the service says it warmed ("eng|spa").
    const auto warmed = [&] {
        QStringList pairs;
        for (const QString &line : serviceLog().split(u'\n')) {
            if (line.contains(u" warmed in "))
                pairs.append(line.section(u' ', 1, 1).replace(u'|', u'-'));
        }
        return pairs;
    };
    const QStringList english{QStringLiteral("eng"), QStringLiteral("en")};
    const QStringList french{QStringLiteral("fra"), QStringLiteral("fr")};
    // No click yet: the warm-up alone brings the route's pipelines up.
    EXPECT_TRUE(QTest::qWaitFor([&] { return RouteRuns(warmed(), english, french); }, 30000))
        << serviceLog().toStdString();
    EXPECT_TRUE(RouteRuns(RunningModes(), english, french))
        << "running: " << RunningModes().join(u' ').toStdString();

    ASSERT_NO_FATAL_FAILURE(translateGoodMorningTimed("warmed first click to translation"));
    // The service's own count: no request waited for a start.
    EXPECT_FALSE(serviceLog().contains(u"cold start")) << serviceLog().toStdString();
    ASSERT_NO_FATAL_FAILURE(quit());
}

}  // namespace
}  // namespace verz::e2e
