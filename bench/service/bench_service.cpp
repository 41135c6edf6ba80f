// Figures for the page service, side by side in one run against one APy:
// start to first answer; a lone sentence's round trip, service against APy's
// own; and throughput under 16 concurrent clients sending different
// sentences, on a direct route (en|es) and a two-leg one (fr|en), APy's own
// (one call per sentence and leg, as a client of APy makes them) against the
// service's, with the ratio. Every answer under load is checked against what
// a lone request gives for the same sentence, APy's own answers likewise.
#include "engine/page_reader.h"
#include "service/service_harness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

using verz::test::RawClient;

namespace {

constexpr int kClients = 16;
constexpr int kPasses = 2;  // each sentence twice, never twice at once

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

QStringList Sentences(const char *language)
{
    QFile file(QStringLiteral(VERZ_SENTENCES_DIR "/%1.txt").arg(QLatin1String(language)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    return lines;
}

// A plain APy, as anyone would start it, on loopback.
struct PlainApy {
    QProcess process;
    quint16 port = 0;
    bool start()
    {
        port = quint16(FreePort());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setChildProcessModifier([] {
            ::setpgid(0, 0);
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        });
        process.start(QStringLiteral("apertium-apy"),
                      {QStringLiteral("-p"), QString::number(port), QStringLiteral("-i"),
                       QStringLiteral("2"), QStringLiteral("-u"), QStringLiteral("2"),
                       QStringLiteral("-n"), QStringLiteral("1"),
                       QStringLiteral("/usr/share/apertium/modes")});
        if (!process.waitForStarted())
            return false;
        return verz::test::WaitUntil(
            [&] {
                RawClient client(port);
                return client.socket().waitForConnected(200) &&
                       client.exchange("GET /listPairs HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
                               .status == 200;
            },
            30000);
    }
    ~PlainApy()
    {
        if (process.processId() > 0)
            ::kill(-pid_t(process.processId()), SIGTERM);
        if (!process.waitForFinished(5000) && process.processId() > 0)
            ::kill(-pid_t(process.processId()), SIGKILL);
        process.waitForFinished(1000);
    }
};

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
        return verz::test::WaitUntil(
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

// Asks for one translation on a client and calls back with it (null: failed).
using Ask = std::function<void(RawClient *, const QString &, std::function<void(QString)>)>;

Ask AskService(const char *langpair)
{
    return [langpair](RawClient *client, const QString &text, std::function<void(QString)> done) {
        client->send(RawClient::Get(verz::test::TranslateTarget(text, langpair)),
                     [done](const RawClient::Response &r) {
                         done(r.status == 200 ? verz::ExtractTranslation(r.body) : QString());
                     });
    };
}

// APy's own way for a route: one call per leg, the next leg once the first is in.
void AskApyLegs(RawClient *client, const QStringList &legs, int index, const QString &input,
                const std::function<void(QString)> &done)
{
    if (index == legs.size() || input.isNull()) {
        done(input);
        return;
    }
    const QByteArray request = "GET /translate?langpair=" + legs.at(index).toLatin1() +
                               "&markUnknown=no&q=" + QUrl::toPercentEncoding(input) +
                               " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    client->send(request, [client, legs, index, done](const RawClient::Response &r) {
        const QJsonValue text = QJsonDocument::fromJson(r.body)
                                    .object()
                                    .value(u"responseData")
                                    .toObject()
                                    .value(u"translatedText");
        AskApyLegs(client, legs, index + 1,
                   r.status == 200 && text.isString() ? text.toString() : QString(), done);
    });
}

Ask AskApy(const QStringList &legs)
{
    return [legs](RawClient *client, const QString &text, std::function<void(QString)> done) {
        AskApyLegs(client, legs, 0, text, done);
    };
}

struct LoadResult {
    double perSecond = 0;
    int failed = 0;
    QHash<QString, QString> answers;  // the last answer for each sentence
    int differing = 0;                // answers unlike the reference
};

LoadResult Load(quint16 port, const QStringList &texts, const Ask &ask,
                const QHash<QString, QString> *reference)
{
    LoadResult result;
    const int requests = int(texts.size()) * kPasses;
    int sent = 0, answered = 0;
    std::vector<std::unique_ptr<RawClient>> clients;
    std::function<void(RawClient *)> next = [&](RawClient *client) {
        if (sent == requests)
            return;
        const QString text = texts.at(sent++ % texts.size());
        ask(client, text, [&, client, text](const QString &answer) {
            ++answered;
            if (answer.isNull())
                ++result.failed;
            else if (reference && reference->value(text) != answer && ++result.differing <= 3)
                std::printf("  differs: %s\n    lone:  %s\n    load:  %s\n", qUtf8Printable(text),
                            qUtf8Printable(reference->value(text)), qUtf8Printable(answer));
            result.answers.insert(text, answer);
            next(client);
        });
    };
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(std::make_unique<RawClient>(port));
        next(clients.back().get());
    }
    verz::test::WaitUntil([&] { return answered == requests; }, 300000);
    result.perSecond = answered * 1000.0 / double(clock.elapsed());
    return result;
}

// What a lone request gives for each sentence: one client, one at a time.
QHash<QString, QString> LoneAnswers(quint16 port, const QStringList &texts, const Ask &ask)
{
    QHash<QString, QString> answers;
    RawClient client(port);
    for (const QString &text : texts) {
        bool done = false;
        ask(&client, text, [&](const QString &answer) {
            answers.insert(text, answer);
            done = true;
        });
        verz::test::WaitUntil([&] { return done; }, 20000);
    }
    return answers;
}

void CompareRoute(const char *title, quint16 apyPort, quint16 servicePort, const QStringList &texts,
                  const char *langpair, const QStringList &legs)
{
    const Ask viaService = AskService(langpair), viaApy = AskApy(legs);
    const QHash<QString, QString> lone = LoneAnswers(servicePort, texts, viaService);
    const QHash<QString, QString> apyLone = LoneAnswers(apyPort, texts, viaApy);
    const LoadResult apy = Load(apyPort, texts, viaApy, &apyLone);
    const LoadResult service = Load(servicePort, texts, viaService, &lone);
    std::printf("%s, %d clients, %d requests over %d different sentences:\n", title, kClients,
                int(texts.size()) * kPasses, int(texts.size()));
    std::printf("  APy alone, one call per sentence and leg: %6.1f req/s%s\n", apy.perSecond,
                apy.failed ? qPrintable(QStringLiteral(" (%1 failed)").arg(apy.failed)) : "");
    std::printf("  service:                                  %6.1f req/s  ratio %.2f (goal 2)\n",
                service.perSecond, service.perSecond / apy.perSecond);
    // APy's pipelines carry a little state from one call to the next, so even
    // its own answer to a sentence depends on what it translated before.
    std::printf("  answers unlike a lone request's: service %d, APy alone %d (of %d)\n",
                service.differing, apy.differing, int(texts.size()) * kPasses);
    if (service.failed)
        std::printf("  service requests failed: %d\n", service.failed);
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString binary =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VERZ_SERVICE_BINARY);
    const QStringList english = Sentences("en"), french = Sentences("fr");
    if (english.isEmpty() || french.isEmpty()) {
        std::printf("the sentence set is missing\n");
        return 1;
    }

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

    PlainApy apy;
    if (!apy.start()) {
        std::printf("APy did not start\n");
        return 1;
    }
    Service service;
    service.start(binary,
                  {QStringLiteral("--apy"), QStringLiteral("http://127.0.0.1:%1").arg(apy.port),
                   QStringLiteral("--cache-entries"), QStringLiteral("0")});
    if (!service.waitAnswer(10000)) {
        std::printf("the service did not answer\n");
        return 1;
    }

    // A lone sentence: what the service adds to APy's own time.
    const Ask apyDirect = AskApy({QStringLiteral("eng|spa")});
    const Ask serviceDirect = AskService("en|es");
    RawClient toApy(apy.port), toService(service.port);
    std::vector<double> apyMs, serviceMs;
    auto timed = [](const Ask &ask, RawClient *client, const QString &text) {
        QElapsedTimer clock;
        clock.start();
        bool done = false;
        ask(client, text, [&](const QString &) { done = true; });
        verz::test::WaitUntil([&] { return done; }, 20000);
        return clock.nsecsElapsed() / 1e6;
    };
    for (int round = 0; round < 65; ++round) {
        const QString &text = english.at(round % english.size());
        const double a = timed(apyDirect, &toApy, text), s = timed(serviceDirect, &toService, text);
        if (round >= 5) {  // warm-up: pipelines start on first use
            apyMs.push_back(a);
            serviceMs.push_back(s);
        }
    }
    std::printf("lone sentence en|es, median: APy %.2f ms, service %.2f ms\n", Median(apyMs),
                Median(serviceMs));

    CompareRoute("direct en|es", apy.port, service.port, english, "en|es",
                 {QStringLiteral("eng|spa")});
    CompareRoute("two legs fr|en (through Spanish)", apy.port, service.port, french, "fr|en",
                 {QStringLiteral("fra|spa"), QStringLiteral("spa|eng")});
    return 0;
}
