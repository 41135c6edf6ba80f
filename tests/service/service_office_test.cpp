// The service run for an office: health and metrics as monitors read them,
// the service manager's readiness and watchdog through a notify socket the
// test owns, and two services behind Debian's nginx with the packaged
// configuration while one of them is killed under load.
#include "engine/page_reader.h"
#include "service/office_fixture.h"
#include "service/recorded_apy.h"
#include "service/service_harness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkInterface>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace verz {
namespace {

using test::Get;
using test::Nginx;
using test::RawClient;
using test::ServiceProcess;

// A unix datagram socket standing in for the service manager's NOTIFY_SOCKET,
// read whenever a message comes, as the manager does: a full queue (ten
// datagrams) would block the service's next ping, and its event loop with it.
class NotifySocket {
public:
    NotifySocket(const QString &path, const QElapsedTimer &clock) : path_(path)
    {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::copy_n(name.constData(), std::min<size_t>(name.size(), sizeof address.sun_path - 1),
                    address.sun_path);
        ::bind(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address);
        reader_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(reader_.get(), &QSocketNotifier::activated,
                         [this, &clock] { drain(clock); });
    }
    ~NotifySocket() { ::close(fd_); }

    struct Message {
        QByteArray text;
        qint64 atMs;
    };
    // What has arrived so far, with the test clock's time of reading.
    void drain(const QElapsedTimer &clock)
    {
        char buffer[512];
        for (ssize_t n; (n = ::recv(fd_, buffer, sizeof buffer, 0)) > 0;)
            messages.push_back({QByteArray(buffer, n).trimmed(), clock.elapsed()});
    }
    std::vector<Message> messages;

private:
    QString path_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> reader_;
};

// The state letter of /proc/PID/stat ('T': stopped), or 0.
char ProcessState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end > 0 && end + 2 < line.size() ? line.at(end + 2) : 0;
}

std::optional<QHostAddress> NonLoopbackAddress()
{
    for (const QHostAddress &address : QNetworkInterface::allAddresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address;
    return std::nullopt;
}

TEST(ServiceOperations, ReadyThenWatchdogPingsThatStopWhileFrozenHealthAndMetricsAsMonitorsRead)
{
    test::FakeApy apy(test::kRecordedListPairs);
    QTemporaryDir dir;
    QElapsedTimer clock;
    clock.start();
    NotifySocket manager(dir.filePath(QStringLiteral("notify")), clock);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("NOTIFY_SOCKET"), dir.filePath(QStringLiteral("notify")));
    environment.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("200000"));
    ServiceProcess service;
    ASSERT_TRUE(service.start(apy.url(),
                              {QStringLiteral("--listen"), QStringLiteral("0.0.0.0"),
                               QStringLiteral("--timeout"), QStringLiteral("4000")},
                              environment));

    // Ready first, then a ping every half watchdog period.
    test::WaitUntil([&] { return manager.drain(clock), manager.messages.size() >= 8; }, 60000);
    ASSERT_GE(manager.messages.size(), 8u);
    EXPECT_EQ(manager.messages.front().text, "READY=1");
    std::vector<qint64> gaps;
    for (size_t i = 2; i < manager.messages.size(); ++i) {
        EXPECT_EQ(manager.messages[i].text, "WATCHDOG=1");
        gaps.push_back(manager.messages[i].atMs - manager.messages[i - 1].atMs);
    }
    std::sort(gaps.begin(), gaps.end());
    std::printf("watchdog: READY %lld ms after the start; WATCHDOG_USEC 200 ms, median ping "
                "interval %lld ms\n",
                static_cast<long long>(manager.messages.front().atMs),
                static_cast<long long>(gaps[gaps.size() / 2]));

    // A frozen event loop pings no more (a window of silence is what is
    // asserted here, so it is a fixed time); a thawed one pings again.
    service.signal(SIGSTOP);
    ASSERT_TRUE(test::WaitUntil([&] { return ProcessState(service.process.processId()) == 'T'; }));
    manager.drain(clock);
    const size_t beforeFreeze = manager.messages.size();
    test::WaitUntil([] { return false; }, 600);
    manager.drain(clock);
    EXPECT_EQ(manager.messages.size(), beforeFreeze) << "pings while stopped";
    service.signal(SIGCONT);
    EXPECT_TRUE(test::WaitUntil(
        [&] { return manager.drain(clock), manager.messages.size() > beforeFreeze + 1; }, 60000));

    int status = 0;
    const QByteArray translated =
        Get(service.port, test::TranslateTarget(QStringLiteral("a desk"), "en|es"), &status);
    EXPECT_EQ(ExtractTranslation(translated), QStringLiteral("[eng|spa]a desk"));
    EXPECT_EQ(Get(service.port, "/healthz", &status), "ok: APy answering\n");
    EXPECT_EQ(status, 200);

    // APy failing: health says so while it rests, the failed calls are counted.
    apy.mode = test::FakeApy::Mode::ServerError;
    Get(service.port, test::TranslateTarget(QStringLiteral("broken"), "en|es"), &status);
    EXPECT_EQ(status, 503);
    Get(service.port, "/healthz", &status);
    EXPECT_EQ(status, 503);
    apy.mode = test::FakeApy::Mode::Translate;

    const QByteArray metrics = Get(service.port, "/metrics", &status);
    EXPECT_EQ(status, 200);
    for (const char *line :
         {"verzolan_translations_total{pair=\"en|es\"} 2\n",
          "verzolan_http_requests_total{route=\"/translate_t\",status=\"200\"} 1\n",
          "verzolan_http_requests_total{route=\"/translate_t\",status=\"503\"} 1\n",
          "verzolan_apy_calls_total{result=\"ok\"} 1\n",
          "verzolan_http_request_duration_seconds_count{route=\"/translate_t\"} 2\n",
          "verzolan_apy_engines_up 0\n", "verzolan_open_connections 1\n"})
        EXPECT_TRUE(metrics.contains(line)) << line << "\nin:\n" << metrics.toStdString();

    if (!QStandardPaths::findExecutable(QStringLiteral("promtool")).isEmpty()) {
        QProcess promtool;
        promtool.start(QStringLiteral("promtool"),
                       {QStringLiteral("check"), QStringLiteral("metrics")});
        promtool.waitForStarted();
        promtool.write(metrics);
        promtool.closeWriteChannel();
        promtool.waitForFinished(10000);
        EXPECT_EQ(promtool.exitCode(), 0) << promtool.readAllStandardError().toStdString()
                                          << promtool.readAllStandardOutput().toStdString();
    }

    // Healthy again once APy has rested; another machine gets the health but
    // not the figures.
    EXPECT_TRUE(
        test::WaitUntil([&] { return Get(service.port, "/healthz", &status), status == 200; }));
    if (const std::optional<QHostAddress> outside = NonLoopbackAddress()) {
        Get(service.port, "/healthz", &status, *outside);
        EXPECT_EQ(status, 200);
        Get(service.port, "/metrics", &status, *outside);
        EXPECT_EQ(status, 403);
    }
}

TEST(ServiceBehindNginx, NoRequestFailsWhenOneServiceIsKilledAndAllDownGetsAFrenchAnswer)
{
    if (Nginx::Executable().isEmpty())
        GTEST_SKIP() << "nginx is not installed (apt-get install nginx-light)";
    test::FakeApy apy(test::kRecordedListPairs);
    ServiceProcess first, second;
    ASSERT_TRUE(first.start(apy.url()));
    ASSERT_TRUE(second.start(apy.url()));
    QTemporaryDir dir;
    Nginx nginx;
    ASSERT_TRUE(nginx.start(dir, {first.port, second.port}));

    constexpr int kClients = 16, kRequests = 240, kKillAfter = 60;
    int sent = 0, answered = 0, failed = 0, wrong = 0;
    std::vector<std::unique_ptr<RawClient>> clients;
    std::function<void(RawClient *, int)> next = [&](RawClient *client, int desk) {
        if (sent == kRequests)
            return;
        const QString text = QStringLiteral("sentence %1 from desk %2").arg(sent++).arg(desk);
        client->send(RawClient::Get(test::TranslateTarget(text, "en|es")),
                     [&, client, desk, text](const RawClient::Response &response) {
                         if (++answered == kKillAfter)
                             first.signal(SIGKILL);
                         if (response.status != 200)
                             ++failed;
                         else if (ExtractTranslation(response.body) !=
                                  QStringLiteral("[eng|spa]") + text)
                             ++wrong;
                         next(client, desk);
                     });
    };
    QElapsedTimer clock;
    clock.start();
    for (int desk = 0; desk < kClients; ++desk) {
        clients.push_back(std::make_unique<RawClient>(nginx.port));
        next(clients.back().get(), desk);
    }
    ASSERT_TRUE(test::WaitUntil([&] { return answered == kRequests; }, 60000));
    std::printf("nginx: %d requests from %d clients, one of two services killed after %d: "
                "%d failed, %d wrong, %.0f req/s\n",
                sent, kClients, kKillAfter, failed, wrong, answered * 1000.0 / clock.elapsed());
    EXPECT_EQ(first.process.state(), QProcess::NotRunning);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(wrong, 0);

    second.signal(SIGKILL);
    int status = 0;
    clock.restart();
    const QByteArray body =
        Get(nginx.port, test::TranslateTarget(QStringLiteral("nobody"), "en|es"), &status);
    EXPECT_EQ(status, 503);
    EXPECT_EQ(body, "Service de traduction indisponible, réessayez dans un instant.\n");
    EXPECT_LT(clock.elapsed(), 5000) << "nginx hung with every service down";
    Get(nginx.port, "/metrics", &status);
    EXPECT_EQ(status, 403) << "the figures are not for the network";
}

}  // namespace
}  // namespace verz
