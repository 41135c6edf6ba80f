// The service's life: requests that arrive while APy starts, a
// listening socket handed over at start, the idle exit, and starts that
// cannot work. The process cases run the real executable.
#include "apy/apy_supervisor.h"
#include "engine/page_reader.h"
#include "service/recorded_apy.h"
#include "service/route_table.h"
#include "service/service_harness.h"
#include "service/text_endpoints.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>
#include <sys/types.h>
#include <vector>

namespace verz {
namespace {

using test::RawClient;

constexpr char kService[] = VERZ_SERVICE_BINARY;

TEST(ServiceWaitingForApy, RequestsWaitForApyAndGetA503WhenItNeverComes)
{
    test::FakeApy apy(test::kRecordedListPairs);
    TextEndpoints::Options options;
    // From arrival: room for the warm-up exchange below on a slow (sanitized,
    // loaded) build, since the first request's wait includes it.
    options.translator.apyTimeoutMs = 6000;
    options.translator.cacheEntries = 0;
    TextEndpoints service(options);
    ASSERT_TRUE(service.listen(QHostAddress::LocalHost, 0));
    int arrived = 0;
    QObject::connect(&service, &TextEndpoints::requestArrived, [&] { ++arrived; });

    service.translator().apy().expect();
    RawClient early(service.port());
    RawClient::Response answer;
    bool answered = false;
    early.send(RawClient::Get(test::TranslateTarget(QStringLiteral("hola"), "es|en")),
               [&](const RawClient::Response &response) {
                   answer = response;
                   answered = true;
               });
    ASSERT_TRUE(test::WaitUntil([&] { return service.translator().answersOwed() == 1; }));
    EXPECT_FALSE(answered);
    // A warm-up meanwhile is answered at once and sent once APy is there.
    RawClient warm(service.port());
    EXPECT_EQ(warm.exchange(RawClient::Get("/warm?langpair=it%7Cen")).status, 204);
    service.translator().apy().use({apy.url()}, test::kRecordedListPairs);
    ASSERT_TRUE(test::WaitUntil([&] { return answered; }));
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(ExtractTranslation(answer.body), QStringLiteral("[spa|eng]hola"));
    EXPECT_EQ(service.translator().answersOwed(), 0);
    EXPECT_EQ(service.translator().coldStarts(), 1U);  // it waited for APy
    ASSERT_TRUE(
        test::WaitUntil([&] { return apy.langpairsSeen.contains(QStringLiteral("ita|spa")); }));

    service.translator().apy().expect();
    RawClient late(service.port());
    EXPECT_EQ(
        late.exchange(RawClient::Get(test::TranslateTarget(QStringLiteral("a"), "en|es"))).status,
        503);
    EXPECT_EQ(service.translator().answersOwed(), 0);
    EXPECT_EQ(arrived, 3);  // the warm-up counts as use
}

// systemd-socket-activate holds the address and starts the service on the first
// connection, the way the user unit does.
QProcess *StartActivated(QProcess &process, const QString &address, const QStringList &arguments)
{
    process.start(QStringLiteral("systemd-socket-activate"),
                  QStringList{QStringLiteral("-l"), address, QString::fromLatin1(kService)} +
                      arguments);
    if (!process.waitForStarted(5000))
        return nullptr;
    QByteArray said;
    test::WaitUntil([&] {
        said += process.readAllStandardError();
        return said.contains("Listening on");
    });
    return said.contains("Listening on") ? &process : nullptr;
}

TEST(ServiceProcess, HandedSocketIsServedFromTheFirstRequestAndIdleExitEndsItCleanly)
{
    test::FakeApy apy(test::kRecordedListPairs);
    const quint16 port = test::FreePort();
    QProcess activator;
    ASSERT_TRUE(StartActivated(activator, QStringLiteral("127.0.0.1:%1").arg(port),
                               {QStringLiteral("--apy"), apy.url().toString(),
                                QStringLiteral("--idle-exit"), QStringLiteral("1")}));

    // The connection that wakes the service is the one answered.
    RawClient client(port);
    const RawClient::Response response =
        client.exchange(RawClient::Get(test::TranslateTarget(QStringLiteral("hola"), "es|en")));
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(ExtractTranslation(response.body), QStringLiteral("[spa|eng]hola"));

    const test::ProcessOutcome end = test::FinishProcess(activator, 10000);
    EXPECT_TRUE(end.ended) << "still running well after its idle time";
    EXPECT_EQ(end.exitCode, 0) << end.err.toStdString();
    EXPECT_TRUE(end.err.contains("no request for 1 s")) << end.err.toStdString();
}

TEST(ServiceProcess, StartsThatCannotServeSaySoAndFail)
{
    // A handed descriptor that is no socket at all.
    QProcess notSocket;
    notSocket.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("export LISTEN_FDS=1 LISTEN_PID=$$; exec \"$0\" 3</dev/null"),
                     QString::fromLatin1(kService)});
    test::ProcessOutcome end = test::FinishProcess(notSocket, 10000);
    EXPECT_NE(end.exitCode, 0);
    EXPECT_TRUE(end.err.contains("not a listening TCP socket")) << end.err.toStdString();

    // A listening socket, but a local one, as a unit with a path would hand over.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("service.socket"));
    QProcess local;
    ASSERT_TRUE(StartActivated(local, path, {}));
    QLocalSocket wake;
    wake.connectToServer(path);
    end = test::FinishProcess(local, 10000);
    EXPECT_NE(end.exitCode, 0);
    EXPECT_TRUE(end.err.contains("not a listening TCP socket")) << end.err.toStdString();

    // The address taken already: the loser of two starts goes at once.
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
    QProcess second;
    second.start(QString::fromLatin1(kService),
                 {QStringLiteral("--port"), QString::number(holder.serverPort()),
                  QStringLiteral("--apy"), QStringLiteral("http://127.0.0.1:1")});
    end = test::FinishProcess(second, 10000);
    EXPECT_EQ(end.exitCode, 3);
    EXPECT_TRUE(end.err.contains("already in use")) << end.err.toStdString();
}

// The processes whose parent is pid.
QList<qint64> ChildrenOf(qint64 pid)
{
    QList<qint64> children;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(tasks.filePath(task + QStringLiteral("/children")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &child : file.readAll().split(' '))
            if (!child.trimmed().isEmpty())
                children.append(child.trimmed().toLongLong());
    }
    return children;
}

bool Ended(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z ");
}

// Processes that have ended but that their parent has not waited for.
qsizetype ZombiesOf(qint64 pid)
{
    const QList<qint64> children = ChildrenOf(pid);
    return std::count_if(children.begin(), children.end(), Ended);
}

bool GroupGone(qint64 group)
{
    return ::kill(-pid_t(group), 0) != 0 && errno == ESRCH;
}

TEST(ServiceProcess, OwnApySleepsWhenUnusedIsWaitedForWhenKilledAndNothingOutlives)
{
    if (!ApySupervisor::ApyInstalled())
        GTEST_SKIP() << "apertium-apy is not installed";
    const quint16 port = test::FreePort();
    QProcess service;
    service.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    // The longest deadline: APy and a route's pipelines start within it on a
    // machine loaded at twice its cores.
    service.start(QString::fromLatin1(kService),
                  {QStringLiteral("--port"), QString::number(port), QStringLiteral("--engine-idle"),
                   QStringLiteral("2"), QStringLiteral("--idle-exit"), QStringLiteral("5"),
                   QStringLiteral("--timeout"), QStringLiteral("14000")});
    ASSERT_TRUE(service.waitForStarted(5000));
    auto translate = [&](const char *pair) {
        RawClient client(port);
        return client.exchange(
            RawClient::Get(test::TranslateTarget(QStringLiteral("Good morning"), pair)));
    };
    // APy's guard, not a helper that has ended but is not reaped yet.
    const auto apy = [&] {
        for (const qint64 child : ChildrenOf(service.processId()))
            if (!Ended(child))
                return child;
        return qint64(0);
    };
    ASSERT_TRUE(test::WaitUntil([&] { return apy() != 0; }, 30000));
    // A 503 is only the deadline passing on a machine loaded past its cores:
    // asked again until a translation comes.
    const auto translatedOnce = [&](const char *pair) {
        RawClient::Response answer;
        test::WaitUntil(
            [&] {
                answer = translate(pair);
                return answer.status == 200;
            },
            120000);
        return answer;
    };
    EXPECT_EQ(translatedOnce("en|fr").status, 200);  // both legs: two pipelines in APy's group
    const qint64 first = apy();
    ASSERT_NE(first, 0);

    // Unused, APy and its pipelines go; the service stays and wakes it.
    ASSERT_TRUE(test::WaitUntil([&] { return GroupGone(first); }, 30000));
    EXPECT_EQ(service.state(), QProcess::Running);
    // One leg this time: APy's start and one pipeline's fit in the deadline.
    const RawClient::Response again = translatedOnce("en|es");
    EXPECT_EQ(again.status, 200) << service.readAllStandardError().toStdString();
    EXPECT_FALSE(ExtractTranslation(again.body).isEmpty());
    const qint64 killed = apy();
    ASSERT_NE(killed, 0);

    // Killed, APy is started again; a request meanwhile waits for it as at the
    // first start, and is not refused at once.
    ::kill(-pid_t(killed), SIGKILL);
    QByteArray health;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            RawClient client(port);
            health = client.exchange(RawClient::Get("/healthz")).body;
            // Asleep: the idle time ran out first, and the request wakes it.
            return health.contains("starting") || health.contains("asleep");
        },
        30000))
        << health.constData();
    QElapsedTimer clock;
    clock.start();
    const RawClient::Response restarted = translate("en|es");
    EXPECT_TRUE(restarted.status == 200 || clock.elapsed() >= 13000)
        << restarted.status << " after " << clock.elapsed() << " ms";
    ASSERT_EQ(translatedOnce("en|es").status, 200);
    const qint64 second = apy();
    ASSERT_NE(second, 0);

    const test::ProcessOutcome end = test::FinishProcess(service, 60000);
    EXPECT_TRUE(end.ended);
    EXPECT_EQ(end.exitCode, 0) << end.err.toStdString();
    EXPECT_TRUE(test::WaitUntil([&] { return GroupGone(second); }, 10000))
        << "APy or a pipeline outlived the service";
}

// Sixteen clients keep asking four pairs; SIGTERM comes while their answers
// are owed. The service answers or drops them and ends with status 0: no
// answer still owed may outlive the figures it is counted in. Documents
// meanwhile leave no ended process unreaped.
TEST(ServiceProcess, SigtermUnderLoadEndsCleanlyWithAnswersOwed)
{
    if (!ApySupervisor::ApyInstalled())
        GTEST_SKIP() << "apertium-apy is not installed";
    const quint16 port = test::FreePort();
    QProcess service;
    service.start(QString::fromLatin1(kService),
                  {QStringLiteral("--port"), QString::number(port),
                   QStringLiteral("--cache-entries"), QStringLiteral("0")});
    ASSERT_TRUE(service.waitForStarted(5000));
    const char *pairs[] = {"en|es", "en|fr", "fr|en", "es|en"};
    const char *texts[] = {"The house is big.", "The children are playing.",
                           "Le chat dort sur la table.", "La casa es grande."};
    std::vector<std::unique_ptr<RawClient>> clients;
    int answered = 0, sent = 0;
    std::function<void(RawClient *, int)> ask = [&](RawClient *client, int which) {
        ++sent;
        const QString text = QString::fromUtf8(texts[which % 4]) + QString::number(sent);
        client->send(RawClient::Get(test::TranslateTarget(text, pairs[which % 4])),
                     [&, client, which](const RawClient::Response &response) {
                         if (response.status == 200)
                             ++answered;
                         // Asked again on the same connection, as long as it lasts.
                         if (client->socket().state() == QAbstractSocket::ConnectedState)
                             ask(client, which);
                     });
    };
    // Each client once the service listens; every pair's pipelines then run.
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            RawClient probe(port);
            return probe.socket().waitForConnected(200);
        },
        30000));
    for (int i = 0; i < 16; ++i) {
        clients.push_back(std::make_unique<RawClient>(port));
        ask(clients.back().get(), i);
    }
    ASSERT_TRUE(test::WaitUntil([&] { return answered >= 64; }, 120000)) << answered << " answered";
    // Each boxed converter leaves a process to the service, which waits for it.
    for (int i = 0; i < 2; ++i) {
        RawClient client(port);
        const QByteArray form =
            "--b0uNd\r\nContent-Disposition: form-data; name=\"langpair\"\r\n\r\nen|es\r\n"
            "--b0uNd\r\nContent-Disposition: form-data; name=\"file\"; filename=\"a.txt\"\r\n"
            "Content-Type: text/plain\r\n\r\nThe house is big.\r\n--b0uNd--\r\n";
        const RawClient::Response answer = client.exchange(
            "POST /translate_doc HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; "
            "boundary=b0uNd\r\nContent-Length: " +
                QByteArray::number(form.size()) + "\r\n\r\n" + form,
            120000);
        EXPECT_EQ(answer.status, 200) << answer.body.constData();
    }
    EXPECT_TRUE(test::WaitUntil([&] { return ZombiesOf(service.processId()) == 0; }, 10000))
        << ZombiesOf(service.processId()) << " ended processes left unreaped";
    ::kill(pid_t(service.processId()), SIGTERM);
    const test::ProcessOutcome end = test::FinishProcess(service, 30000);
    EXPECT_TRUE(end.ended);
    EXPECT_EQ(end.exitCode, 0) << end.err.toStdString();
}

}  // namespace
}  // namespace verz
