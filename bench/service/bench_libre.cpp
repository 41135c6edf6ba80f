// The time the service adds to a LibreTranslate call, run by hand:
// build/bench_libre [path to verzolan-service]. In one run, against one
// LibreTranslate stand-in (tests/support) in this process: a text posted to
// the stand-in directly, and the same kind of text asked of the service
// (started with --libretranslate pointing at the stand-in), one at a time
// (medians), then 16 clients at once (total time). Each text is new, so the
// service's cache never answers.
#include "engine/page_reader.h"
#include "libre_stand_in.h"
#include "service/recorded_apy.h"
#include "service/service_harness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 200;
constexpr int kClients = 16;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double Percentile90(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() * 9 / 10];
}

// Sends count requests, at most width at a time; the milliseconds of each.
std::vector<double> Run(QNetworkAccessManager &network, int count, int width,
                        const std::function<QNetworkReply *(int)> &ask,
                        const std::function<bool(int, const QByteArray &)> &check, int *bad)
{
    std::vector<double> times;
    int next = 0, running = 0;
    std::function<void()> launch = [&] {
        while (running < width && next < count) {
            const int index = next++;
            ++running;
            auto *clock = new QElapsedTimer;
            clock->start();
            QNetworkReply *reply = ask(index);
            QObject::connect(reply, &QNetworkReply::finished, reply, [&, reply, clock, index] {
                times.push_back(double(clock->nsecsElapsed()) / 1e6);
                delete clock;
                if (!check(index, reply->readAll()))
                    ++*bad;
                reply->deleteLater();
                --running;
                launch();
            });
        }
    };
    launch();
    verz::test::WaitUntil([&] { return int(times.size()) == count; }, 120000);
    (void)network;
    return times;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString binary =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VERZ_SERVICE_BINARY);
    verz::test::LibreStandIn libre;
    verz::test::FakeApy apy(verz::test::kRecordedListPairs);
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();

    QProcess service;
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(binary, {QStringLiteral("--port"), QString::number(port), QStringLiteral("--apy"),
                           apy.url().toString(), QStringLiteral("--libretranslate"),
                           libre.url().toString()});
    if (!service.waitForStarted()) {
        std::fprintf(stderr, "cannot start %s\n", qUtf8Printable(binary));
        return 1;
    }
    QNetworkAccessManager network;
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);
    auto viaService = [&](const QString &text) {
        return network.get(QNetworkRequest(
            QUrl(base + QString::fromLatin1(verz::test::TranslateTarget(text, "de|fr")))));
    };
    // Wait until the service has read /languages and sends de|fr to the stand-in.
    verz::test::WaitUntil(
        [&] {
            const int before = int(libre.calls.size());
            QNetworkReply *reply = viaService(QStringLiteral("warm %1").arg(before));
            verz::test::WaitUntil([&] { return reply->isFinished(); }, 2000);
            reply->deleteLater();
            return int(libre.calls.size()) > before;
        },
        20000);

    auto direct = [&](const QString &text) {
        QNetworkRequest request(QUrl(libre.url().toString() + QStringLiteral("/translate")));
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/json"));
        const QJsonObject call{{QStringLiteral("q"), text},
                               {QStringLiteral("source"), QStringLiteral("de")},
                               {QStringLiteral("target"), QStringLiteral("fr")},
                               {QStringLiteral("format"), QStringLiteral("text")}};
        return network.post(request, QJsonDocument(call).toJson(QJsonDocument::Compact));
    };
    auto text = [](const char *kind, int round, int i) {
        return QStringLiteral("%1 Satz %2 Nummer %3").arg(QLatin1String(kind)).arg(round).arg(i);
    };
    int bad = 0;
    std::printf("LibreTranslate stand-in alone against through verzolan-service (de|fr), ms\n");
    for (int round = 0; round < 2; ++round) {
        const auto alone = Run(
            network, kRounds, 1, [&](int i) { return direct(text("direct", round, i)); },
            [&](int i, const QByteArray &body) {
                return body.contains(text("direct", round, i).toUtf8());
            },
            &bad);
        const auto through = Run(
            network, kRounds, 1, [&](int i) { return viaService(text("service", round, i)); },
            [&](int i, const QByteArray &body) {
                return verz::ExtractTranslation(body).endsWith(text("service", round, i));
            },
            &bad);
        std::printf("one at a time, pass %d: alone median %.2f p90 %.2f; through the service "
                    "median %.2f p90 %.2f; added %.2f\n",
                    round + 1, Median(alone), Percentile90(alone), Median(through),
                    Percentile90(through), Median(through) - Median(alone));
    }
    for (int delay : {0, 50}) {
        libre.delayMs = delay;
        const qsizetype callsBefore = libre.calls.size();
        QElapsedTimer clock;
        clock.start();
        Run(
            network, kRounds, kClients, [&](int i) { return direct(text("many", delay, i)); },
            [&](int i, const QByteArray &body) {
                return body.contains(text("many", delay, i).toUtf8());
            },
            &bad);
        const double aloneMs = double(clock.nsecsElapsed()) / 1e6;
        const qsizetype directCalls = libre.calls.size() - callsBefore;
        clock.restart();
        Run(
            network, kRounds, kClients,
            [&](int i) { return viaService(text("batched", delay, i)); },
            [&](int i, const QByteArray &body) {
                return verz::ExtractTranslation(body).endsWith(text("batched", delay, i));
            },
            &bad);
        const double throughMs = double(clock.nsecsElapsed()) / 1e6;
        std::printf("%d texts, %d clients, stand-in answering after %d ms: alone %.0f ms "
                    "(%lld calls), through the service %.0f ms (%lld calls)\n",
                    kRounds, kClients, delay, aloneMs, (long long)directCalls, throughMs,
                    (long long)(libre.calls.size() - callsBefore - directCalls));
    }
    std::printf("answers not matching their text: %d\n", bad);
    service.terminate();
    service.waitForFinished(5000);
    return bad == 0 ? 0 : 1;
}
