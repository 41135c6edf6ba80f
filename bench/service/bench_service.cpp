// Figures for the page service, side by side in one run against one APy:
// a ~12-word sentence on a direct pair (service round trip vs APy's own),
// the same through Spanish, start to first answer, and throughput under
// 16 concurrent clients with 20 idle connections open.
#include "engine/page_reader.h"
#include "service/apy_supervisor.h"
#include "service/service_harness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>

#include <algorithm>
#include <cstdio>
#include <vector>

using verz::test::RawClient;

namespace {

int FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double TimedMs(RawClient &client, const QByteArray &request, int *status)
{
    QElapsedTimer clock;
    clock.start();
    *status = client.exchange(request).status;
    return clock.nsecsElapsed() / 1e6;
}

QByteArray ApyRequest(const char *langpair, const QString &text)
{
    return "GET /translate?langpair=" + QByteArray(langpair) +
           "&q=" + QUrl::toPercentEncoding(text) +
           "&markUnknown=no&format=txt HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

struct Service {
    QProcess process;
    quint16 port = 0;
    bool start(const QString &binary, const QStringList &extra)
    {
        port = quint16(FreePort());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(binary, QStringList{QStringLiteral("--port"), QString::number(port)} + extra);
        return process.waitForStarted();
    }
    bool waitAnswer(int limitMs)
    {
        return verz::test::SpinUntil(
            [&] {
                RawClient client(port);
                if (!client.socket().waitForConnected(200))
                    return false;
                return client
                           .exchange(RawClient::Get(
                               verz::test::TranslateTarget(QStringLiteral("ok"), "en|es")))
                           .status == 200;
            },
            limitMs);
    }
    ~Service()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
    }
};

double Throughput(quint16 port, bool distinct, int *wrong)
{
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < 20; ++i)
        idle.push_back(std::make_unique<RawClient>(port));
    constexpr int kRequests = 500;
    int sent = 0, answered = 0;
    *wrong = 0;
    std::vector<std::unique_ptr<RawClient>> clients;
    std::function<void(RawClient *)> next = [&](RawClient *client) {
        if (sent == kRequests)
            return;
        const int n = sent++;
        const QString text =
            distinct
                ? QStringLiteral("The small dog runs in the green park number %1 today").arg(n)
                : QStringLiteral("The small dog runs in the green park every day %1").arg(n % 20);
        client->send(RawClient::Get(verz::test::TranslateTarget(text, "en|es")),
                     [&, client](const RawClient::Response &r) {
                         ++answered;
                         if (r.status != 200 || verz::ExtractTranslation(r.body).isEmpty())
                             ++*wrong;
                         next(client);
                     });
    };
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 16; ++i) {
        clients.push_back(std::make_unique<RawClient>(port));
        next(clients.back().get());
    }
    verz::test::SpinUntil([&] { return answered == kRequests; }, 120000);
    return answered * 1000.0 / clock.elapsed();
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString binary =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VERZ_SERVICE_BINARY);
    const QString sentence =
        QStringLiteral("The old man walks to the small market near the river every morning");

    // Start to first answer, APy start included.
    {
        QElapsedTimer clock;
        clock.start();
        Service own;
        own.start(binary, {});
        const bool ok = own.waitAnswer(30000);
        std::printf("start to first answer: %.0f ms%s\n", double(clock.elapsed()),
                    ok ? "" : " (no answer)");
    }

    // One APy for the side-by-side figures.
    verz::ApySupervisor apy(verz::ApySupervisor::Options{});
    apy.start();
    if (!verz::test::SpinUntil([&] { return apy.isReady(); }, 30000)) {
        std::printf("APy did not start\n");
        return 1;
    }
    Service service;
    service.start(binary, {QStringLiteral("--apy"), apy.baseUrl().toString(),
                           QStringLiteral("--cache-entries"), QStringLiteral("0")});
    service.waitAnswer(10000);

    RawClient toApy(quint16(apy.baseUrl().port()));
    RawClient toService(service.port);
    std::vector<double> apyDirect, serviceDirect, servicePivot;
    int status = 0, bad = 0;
    for (int round = 0; round < 5; ++round) {  // warm-up: pipelines start on first use
        TimedMs(toApy, ApyRequest("eng|spa", sentence), &status);
        TimedMs(toService, RawClient::Get(verz::test::TranslateTarget(sentence, "en|fr")), &status);
    }
    for (int round = 0; round < 60; ++round) {
        apyDirect.push_back(TimedMs(toApy, ApyRequest("eng|spa", sentence), &status));
        bad += status != 200;
        serviceDirect.push_back(TimedMs(
            toService, RawClient::Get(verz::test::TranslateTarget(sentence, "en|es")), &status));
        bad += status != 200;
        servicePivot.push_back(TimedMs(
            toService, RawClient::Get(verz::test::TranslateTarget(sentence, "en|fr")), &status));
        bad += status != 200;
    }
    const double a = Median(apyDirect), d = Median(serviceDirect), p = Median(servicePivot);
    std::printf("APy direct eng|spa median:        %.2f ms\n", a);
    std::printf("service en|es median:             %.2f ms  ratio %.2f (limit 1.3)\n", d, d / a);
    std::printf("service en|fr (via spa) median:   %.2f ms  ratio %.2f (limit 2.5)\n", p, p / a);
    if (bad)
        std::printf("  %d answers were not 200\n", bad);

    int wrong = 0;
    const double uncached = Throughput(service.port, true, &wrong);
    std::printf("throughput, 16 clients x 500 distinct sentences, 20 idle: %.0f req/s, %d wrong\n",
                uncached, wrong);
    Service cached;
    cached.start(binary, {QStringLiteral("--apy"), apy.baseUrl().toString()});
    cached.waitAnswer(10000);
    const double repeated = Throughput(cached.port, false, &wrong);
    std::printf("throughput, 20 sentences repeated (cache on):            %.0f req/s, %d wrong\n",
                repeated, wrong);
    return 0;
}
