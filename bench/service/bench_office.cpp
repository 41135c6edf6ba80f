// Figures for a service run for an office, over the APy stand-in in this
// process (so APy's own cost is left out), in one run: the translation
// throughput of one service under 16 clients with and without a monitor
// asking /healthz and /metrics every 20 ms, those answers' latency, then two
// services behind nginx (the packaged example with its per-client rate lifted,
// since every client here shares one address), and the CPU each process used.
#include "engine/page_reader.h"
#include "service/office_fixture.h"
#include "service/recorded_apy.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace verz::test;

namespace {

constexpr int kClients = 16;
constexpr int kRequests = 6000;

double CpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) /
           double(sysconf(_SC_CLK_TCK));
}

double OwnCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// nginx's master and workers.
QList<qint64> WithChildren(qint64 pid)
{
    QList<qint64> family{pid};
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (entry.toLongLong() > 0 && stat.open(QIODevice::ReadOnly) &&
            stat.readAll().split(')').last().trimmed().split(' ').value(1).toLongLong() == pid)
            family.append(entry.toLongLong());
    }
    return family;
}

struct Run {
    double perSecond = 0;
    int failed = 0;
    std::vector<double> probeMs;  // /healthz and /metrics round trips
};

Run Load(quint16 port, quint16 probePort, int tag)
{
    Run run;
    int sent = 0, answered = 0;
    std::vector<std::unique_ptr<RawClient>> clients;
    std::function<void(RawClient *)> next = [&](RawClient *client) {
        if (sent == kRequests)
            return;
        const QString text = QStringLiteral("run %1 sentence %2").arg(tag).arg(sent++);
        client->send(RawClient::Get(TranslateTarget(text, "en|es")),
                     [&, client, text](const RawClient::Response &response) {
                         ++answered;
                         if (response.status != 200 || verz::ExtractTranslation(response.body) !=
                                                           QStringLiteral("[eng|spa]") + text)
                             ++run.failed;
                         next(client);
                     });
    };
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(std::make_unique<RawClient>(port));
        next(clients.back().get());
    }
    // The monitor: one request every 20 ms, health and figures in turn.
    RawClient monitor(probePort ? probePort : port);
    QTimer tick;
    bool busy = false;
    int asked = 0;
    QElapsedTimer probeClock;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (busy || !probePort)
            return;
        busy = true;
        probeClock.start();
        monitor.send(RawClient::Get(asked++ % 2 ? "/metrics" : "/healthz"),
                     [&](const RawClient::Response &) {
                         run.probeMs.push_back(double(probeClock.nsecsElapsed()) / 1e6);
                         busy = false;
                     });
    });
    tick.start(20);
    WaitUntil([&] { return answered == kRequests; }, 300000);
    run.perSecond = answered * 1000.0 / double(clock.elapsed());
    tick.stop();
    // A client must not go with its answer on the way.
    WaitUntil([&] { return !busy; }, 5000);
    return run;
}

// Texts per APy call so far, from the service's own figures.
double TextsPerCall(quint16 port)
{
    const QByteArray metrics = Get(port, "/metrics");
    auto value = [&](const QByteArray &name) {
        const qsizetype at = metrics.indexOf('\n' + name + ' ');
        return at < 0 ? 0.0 : metrics.mid(at + name.size() + 2).split('\n').first().toDouble();
    };
    const double calls = value("verzolan_apy_call_texts_count");
    return calls > 0 ? value("verzolan_apy_call_texts_sum") / calls : 0;
}

double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(double(values.size()) * share))];
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    FakeApy apy(kRecordedListPairs);
    ServiceProcess first, second;
    if (!first.start(apy.url()) || !second.start(apy.url())) {
        std::fprintf(stderr, "the services did not start\n");
        return 1;
    }
    std::printf("%d requests of different sentences from %d clients, APy stand-in in process\n",
                kRequests, kClients);

    double cpu0 = CpuSeconds(first.process.processId()), own0 = OwnCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    const Run quiet = Load(first.port, 0, 1);
    std::printf("one service:                 %7.0f req/s (%d failed); CPU: service %.0f%%, "
                "this process (clients and stand-in) %.0f%%\n",
                quiet.perSecond, quiet.failed,
                100 * (CpuSeconds(first.process.processId()) - cpu0) / (wall.elapsed() / 1000.0),
                100 * (OwnCpuSeconds() - own0) / (wall.elapsed() / 1000.0));
    std::printf("  texts per APy call: %.2f\n", TextsPerCall(first.port));
    const Run watched = Load(first.port, first.port, 2);
    std::printf("one service, monitor at 50/s: %7.0f req/s (%d failed); /healthz and /metrics "
                "under load: median %.2f ms, p99 %.2f ms, max %.2f ms over %zu (goal < 5 ms)\n",
                watched.perSecond, watched.failed, Percentile(watched.probeMs, 0.5),
                Percentile(watched.probeMs, 0.99), Percentile(watched.probeMs, 1.0),
                watched.probeMs.size());

    QTemporaryDir dir;
    Nginx nginx;
    if (!nginx.start(dir, {first.port, second.port},
                     [](QByteArray &conf) { conf.replace("rate=30r/s", "rate=100000r/s"); })) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    QList<qint64> pids{first.process.processId(), second.process.processId()};
    pids += WithChildren(nginx.process.processId());
    std::vector<double> before;
    for (qint64 pid : pids)
        before.push_back(CpuSeconds(pid));
    own0 = OwnCpuSeconds();
    wall.restart();
    const Run behind = Load(nginx.port, 0, 3);
    const double seconds = wall.elapsed() / 1000.0;
    std::printf("two services behind nginx:   %7.0f req/s (%d failed), %.2fx one service\n",
                behind.perSecond, behind.failed, behind.perSecond / quiet.perSecond);
    std::printf("  texts per APy call since the start: service 1 %.2f, service 2 %.2f\n",
                TextsPerCall(first.port), TextsPerCall(second.port));
    std::printf("  CPU: service 1 %.0f%%, service 2 %.0f%%",
                100 * (CpuSeconds(pids[0]) - before[0]) / seconds,
                100 * (CpuSeconds(pids[1]) - before[1]) / seconds);
    double workers = 0;
    for (qsizetype i = 2; i < pids.size(); ++i)
        workers += CpuSeconds(pids[i]) - before[size_t(i)];
    std::printf(", nginx %.0f%%, this process %.0f%% (of %ld cores: %.0f%%)\n",
                100 * workers / seconds, 100 * (OwnCpuSeconds() - own0) / seconds,
                sysconf(_SC_NPROCESSORS_ONLN), 100.0 * double(sysconf(_SC_NPROCESSORS_ONLN)));
    return 0;
}
