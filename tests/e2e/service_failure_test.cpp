// A service that is not there, and one that never answers.
#include "e2e/program_fixture.h"
#include "e2e/skin_points.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTcpServer>

namespace verz::e2e {
namespace {

using BareService = ProgramTest;
using HangService = ProgramTest;

// A loopback port that was free a moment ago and has nobody listening now.
QString DeadHost()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

TEST_F(BareService, DownShowsNonConnecteAndStaysUsable)
{
    storeSetting(QStringLiteral("service"), DeadHost());
    ASSERT_NO_FATAL_FAILURE(launch());

    click(at::Command6);
    EXPECT_EQ(outputText(QStringLiteral("Non Connecté")), QStringLiteral("Non Connecté"));

    // The translate button works again: cleared, the box fills once more.
    click(at::Command2);
    ASSERT_EQ(outputText(QString()), QString());
    click(at::Command6);
    EXPECT_EQ(outputText(QStringLiteral("Non Connecté")), QStringLiteral("Non Connecté"));
    EXPECT_TRUE(standIn_.requests().isEmpty());

    ASSERT_NO_FATAL_FAILURE(quit());
    EXPECT_FALSE(QFileInfo::exists(scratchPath()));
}

TEST_F(BareService, QuitDuringAHangingRequestEndsAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(launchWithHangingRequest());
    QElapsedTimer clock;
    clock.start();
    ASSERT_NO_FATAL_FAILURE(quit());
    EXPECT_LT(clock.elapsed(), 5000);  // far below the 15 s the hang would last
    EXPECT_FALSE(QFileInfo::exists(scratchPath()));
}

TEST_F(HangService, TimesOutThenTranslatesAgain)
{
    ASSERT_NO_FATAL_FAILURE(launchWithHangingRequest());
    // The translate button is disabled while the request runs: a second
    // click starts nothing.
    click(at::Command6);
    Pump(300);
    EXPECT_EQ(standIn_.requests().size(), 1);
    // The engine gives up after its 15 s transfer limit.
    EXPECT_EQ(outputText(QStringLiteral("Non Connecté"), 25000), QStringLiteral("Non Connecté"));
    EXPECT_FALSE(QFileInfo::exists(scratchPath()));

    standIn_.closeConnections();
    standIn_.setPage(ResultPage("De retour"));
    click(at::Command6);
    const QString after = QStringLiteral("Non Connecté\nDe retour ");  // clipboard line feed
    EXPECT_EQ(outputText(after), after);
    ASSERT_NO_FATAL_FAILURE(quit());
    EXPECT_FALSE(QFileInfo::exists(scratchPath()));
}

}  // namespace
}  // namespace verz::e2e
