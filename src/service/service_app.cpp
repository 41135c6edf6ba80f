#include "service/service_app.h"

#include "common/languages.h"
#include "libre/libre_settings.h"
#include "service/private_scratch.h"
#include "service/service_log.h"

#include <QCommandLineParser>
#include <QDir>

#include <systemd/sd-daemon.h>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>

namespace verz {

namespace {

bool ReadLibreArguments(const QString &url, const QString &keyFile, const QString &pairs,
                        ServiceSettings *settings, QString *error)
{
    LibreEngine::Options libre;
    const std::optional<QUrl> base = ReadLibreUrl(url, error);
    if (!base)
        return false;
    libre.base = *base;
    if (!keyFile.isEmpty()) {
        QString warning;
        const std::optional<QByteArray> key = ReadLibreKeyFile(keyFile, error, &warning);
        if (!key)
            return false;
        libre.apiKey = *key;
        if (!warning.isEmpty())
            settings->warnings.append(warning);
    }
    QSet<QString> offered;
    for (const OfferedPair &pair : OfferedPairs())
        offered.insert(pair.code());
    // No Debian package translates German: those pairs gain most.
    const QString chosen = pairs.isEmpty() ? QStringLiteral("en|de,fr|de,de|fr,de|en") : pairs;
    const std::optional<QSet<QString>> taken = ReadLibrePairs(chosen, offered, error);
    if (!taken)
        return false;
    libre.pairs = *taken;
    settings->service.libre = libre;
    return true;
}

}  // namespace

std::optional<ServiceSettings> ParseServiceArguments(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Local translation page service for Verzolan"));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port to listen on (8787)."), QStringLiteral("N"));
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Address to listen on (127.0.0.1; others can then reach the service, "
                       "and requests may name any host)."),
        QStringLiteral("ADDRESS"));
    const QCommandLineOption apy(
        QStringLiteral("apy"),
        QStringLiteral("Use the APy server at URL instead of starting one; give it again for "
                       "several (they must have the same pairs)."),
        QStringLiteral("URL"));
    const QCommandLineOption processes(QStringLiteral("apy-processes"),
                                       QStringLiteral("APy server processes (1)."),
                                       QStringLiteral("N"));
    const QCommandLineOption pipes(QStringLiteral("apy-pipes"),
                                   QStringLiteral("APy pipelines per pair (2)."),
                                   QStringLiteral("N"));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QStringLiteral("Milliseconds to wait for a translation before answering 503 (12000)."),
        QStringLiteral("MS"));
    const QCommandLineOption cache(
        QStringLiteral("cache-entries"),
        QStringLiteral("Recent translations kept to answer repeats (4096; 0: none)."),
        QStringLiteral("N"));
    const QCommandLineOption idleExit(
        QStringLiteral("idle-exit"),
        QStringLiteral("End after SECONDS without a request (0: never, the default)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption apyIdle(
        QStringLiteral("engine-idle"),
        QStringLiteral("Stop unused pipelines, then our own APy, after SECONDS without a "
                       "request; the next request starts it again (120)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption metricsAnywhere(
        QStringLiteral("metrics-from-anywhere"),
        QStringLiteral("Serve /metrics to any client, not only to this machine's."));
    const QCommandLineOption libre(
        QStringLiteral("libretranslate"),
        QStringLiteral("Ask the LibreTranslate server at URL (http or https) first for the "
                       "chosen pairs: their texts are sent to it."),
        QStringLiteral("URL"));
    const QCommandLineOption libreKey(
        QStringLiteral("libretranslate-key-file"),
        QStringLiteral("Read the LibreTranslate API key from FILE (keep it chmod 600)."),
        QStringLiteral("FILE"));
    const QCommandLineOption librePairs(
        QStringLiteral("libretranslate-pairs"),
        QStringLiteral("Pairs for LibreTranslate, as de|fr,fr|de, or all (the four with German)."),
        QStringLiteral("LIST"));
    parser.addOptions({port, listen, apy, processes, pipes, timeout, cache, idleExit, apyIdle,
                       metricsAnywhere, libre, libreKey, librePairs});
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        *error = parser.helpText();
        return std::nullopt;
    }
    ServiceSettings settings;
    auto number = [&](const QCommandLineOption &option, int low, int high, int *out) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        const int value = parser.value(option).toInt(&ok);
        if (!ok || value < low || value > high) {
            *error = QStringLiteral("--%1: expected a number from %2 to %3")
                         .arg(option.names().first())
                         .arg(low)
                         .arg(high);
            return false;
        }
        *out = value;
        return true;
    };
    int portValue = settings.port;
    if (!number(port, 1, 65535, &portValue) ||
        !number(processes, 1, 16, &settings.supervisor.processes) ||
        !number(pipes, 1, 16, &settings.supervisor.pipesPerPair) ||
        !number(timeout, 100, 14000, &settings.service.apyTimeoutMs) ||
        !number(idleExit, 0, 86400 * 365, &settings.idleExitSeconds) ||
        !number(apyIdle, 1, 86400 * 365, &settings.apyIdleSeconds))
        return std::nullopt;
    int cacheEntries = int(settings.service.cacheEntries);
    if (!number(cache, 0, 1000000, &cacheEntries))
        return std::nullopt;
    settings.port = quint16(portValue);
    settings.metricsFromAnywhere = parser.isSet(metricsAnywhere);
    settings.service.cacheEntries = cacheEntries;
    if (parser.isSet(listen) && !settings.listen.setAddress(parser.value(listen))) {
        *error = QStringLiteral("--listen: not an IP address: %1").arg(parser.value(listen));
        return std::nullopt;
    }
    for (const QString &value : parser.values(apy)) {
        QUrl url(value, QUrl::StrictMode);
        if (!url.isValid() || url.scheme() != u"http" || url.host().isEmpty()) {
            *error = QStringLiteral("--apy: expected an http:// URL: %1").arg(value);
            return std::nullopt;
        }
        if (url.path().endsWith(QLatin1Char('/')))
            url.setPath(url.path().chopped(1));
        settings.apy.append(url);
    }
    if (!parser.isSet(libre) && (parser.isSet(libreKey) || parser.isSet(librePairs))) {
        *error = QStringLiteral("--libretranslate-key-file and --libretranslate-pairs need "
                                "--libretranslate URL");
        return std::nullopt;
    }
    if (parser.isSet(libre) && !ReadLibreArguments(parser.value(libre), parser.value(libreKey),
                                                   parser.value(librePairs), &settings, error))
        return std::nullopt;
    // APy gives up on a pipeline (and restarts it) only after we have given up
    // on the text: a cold start slower than APy's limit would otherwise be
    // killed as stuck, started again, and never finish on a loaded machine.
    settings.supervisor.apyTimeoutSeconds = settings.service.apyTimeoutMs / 1000 + 5;
    settings.supervisor.pipelineIdleSeconds = settings.apyIdleSeconds;
    settings.service.pipelineIdleMs = qint64(settings.apyIdleSeconds) * 1000;
    return settings;
}

ServiceApp::ServiceApp(ServiceSettings settings, QObject *parent)
    : QObject(parent), settings_(std::move(settings)), notifier_(new SystemdNotifier(this)),
      service_(settings_.service)
{
    service_.http().observeAnswers([this](const QString &route, int status, qint64 ns) {
        metrics_.answered(route, status, ns);
    });
    connect(&service_.translator(), &Translator::translationAsked, this,
            [this](const QString &pair) { metrics_.translationAsked(pair); });
    connect(&service_.translator().apyDispatcher(), &ApyDispatcher::callEnded, this,
            [this](int texts, bool ok) { metrics_.apyCallEnded(texts, ok); });
    OperationsEndpoints{[this] { return health(); }, [this] { return metricsText(); },
                        settings_.metricsFromAnywhere}
        .installOn(service_.http());
    idleExit_.setSingleShot(true);
    connect(&idleExit_, &QTimer::timeout, this, &ServiceApp::onIdleExitTimer);
    apyIdle_.setSingleShot(true);
    connect(&apyIdle_, &QTimer::timeout, this, &ServiceApp::onApyIdleTimer);
}

ServiceApp::~ServiceApp()
{
    stop();
    // The service's work still under way is dropped with it; nothing of it
    // may call back into this object while it is half gone.
    service_.disconnect(this);
    service_.translator().disconnect(this);
    service_.translator().apyDispatcher().disconnect(this);
}

bool ServiceApp::start(QString *error)
{
    if (!openListeningSocket(error))
        return false;
    notifier_->ready();
    for (const QString &warning : settings_.warnings)
        qCWarning(lcService, "%s", qUtf8Printable(warning));
    connect(&service_, &TranslationService::requestArrived, this, &ServiceApp::onRequest);
    connect(&service_.translator(), &Translator::queryAnswered, this,
            &ServiceApp::restartIdleTimers);
    connect(&service_, &TranslationService::documentAnswered, this, &ServiceApp::restartIdleTimers);
    if (settings_.idleExitSeconds > 0) {
        idleExit_.start(settings_.idleExitSeconds * 1000);
    }
    // The first request (the one that had the service started, often) waits
    // for APy instead of being refused while it starts.
    service_.translator().awaitApy();
    if (!settings_.apy.isEmpty()) {
        for (const QUrl &url : settings_.apy) {
            auto *probe = new ApyClient(this);
            probe->setBaseUrl(url);
            fetchExternalPairs(probe);
        }
        return true;
    }
    if (!ApySupervisor::ApyInstalled()) {
        *error = QStringLiteral(
            "apertium-apy is not installed (apt-get install apertium-apy), or pass --apy URL");
        exitCode_ = 1;
        return false;
    }
    if (settings_.supervisor.tempFolder.isEmpty() && !PrivateScratchFolder().isEmpty()) {
        const QString engineFolder =
            QDir(PrivateScratchFolder()).filePath(QStringLiteral("engine"));
        if (QDir().mkpath(engineFolder))
            settings_.supervisor.tempFolder = engineFolder;
    }
    supervisor_ = new ApySupervisor(settings_.supervisor, this);
    connect(supervisor_, &ApySupervisor::ready, this,
            [this](const QUrl &base, const QByteArray &listPairs) {
                useApy(base, listPairs, supervisor_->accessKey());
            });
    connect(supervisor_, &ApySupervisor::lost, this, [this] {
        qCWarning(lcService, "APy stopped, starting it again");
        metrics_.apyRestarted();
        service_.translator().clearApy();
    });
    supervisor_->start();
    apyIdle_.start(settings_.apyIdleSeconds * 1000);
    return true;
}

bool ServiceApp::openListeningSocket(QString *error)
{
    exitCode_ = 1;
    // A socket handed over by the service manager (socket activation) comes
    // first: the manager has bound the address already.
    const int handed = sd_listen_fds(1);
    if (handed < 0) {
        *error = QStringLiteral("cannot take the sockets handed over: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(-handed)));
        return false;
    }
    if (handed > 1) {
        *error = QStringLiteral("%1 sockets handed over, expected one").arg(handed);
        return false;
    }
    if (handed == 1) {
        const int descriptor = SD_LISTEN_FDS_START;
        if (sd_is_socket_inet(descriptor, AF_UNSPEC, SOCK_STREAM, 1, 0) <= 0) {
            *error = QStringLiteral(
                "the socket handed over (descriptor 3) is not a listening TCP socket");
            return false;
        }
        if (!service_.adoptListeningSocket(descriptor)) {
            *error = QStringLiteral("cannot serve on the socket handed over");
            return false;
        }
        exitCode_ = 0;
        return true;
    }
    if (!service_.listen(settings_.listen, settings_.port)) {
        const bool taken = service_.listenError() == QAbstractSocket::AddressInUseError;
        *error = QStringLiteral("cannot listen on %1:%2%3")
                     .arg(settings_.listen.toString())
                     .arg(settings_.port)
                     .arg(taken ? QStringLiteral(": already in use") : QString());
        if (taken)
            exitCode_ = kPortTaken;
        return false;
    }
    exitCode_ = 0;
    return true;
}

void ServiceApp::restartIdleTimers()
{
    // Idle time counts from the last request or answer, whichever came later.
    if (idleExit_.isActive())
        idleExit_.start();
    if (supervisor_ && !apyAsleep_)
        apyIdle_.start();
}

void ServiceApp::onRequest()
{
    restartIdleTimers();
    if (supervisor_ && apyAsleep_) {
        apyIdle_.start();
        apyAsleep_ = false;
        qCInfo(lcService, "starting APy again");
        supervisor_->start();
    }
}

void ServiceApp::onIdleExitTimer()
{
    // A translation still on its way is finished first.
    if (service_.answersOwed() > 0) {
        idleExit_.start();
        return;
    }
    qCInfo(lcService, "no request for %d s, ending", settings_.idleExitSeconds);
    Q_EMIT idleTimeReached();
}

void ServiceApp::onApyIdleTimer()
{
    if (!supervisor_ || apyAsleep_)
        return;
    if (service_.answersOwed() > 0) {
        apyIdle_.start();
        return;
    }
    // APy shuts an idle pipeline only when another request comes; when none
    // comes, stopping APy itself is what gives the memory back.
    qCInfo(lcService, "no request for %d s, stopping APy until the next", settings_.apyIdleSeconds);
    supervisor_->stop();
    service_.translator().awaitApy();
    apyAsleep_ = true;
}

OperationsEndpoints::Health ServiceApp::health() const
{
    // Our own APy starting again after a few failures in a row is not going to.
    constexpr int kFailuresInARow = 3;
    if (service_.translator().apyDispatcher().usableServers() > 0)
        return {true, QByteArrayLiteral("ok: APy answering")};
    if (supervisor_ && apyAsleep_)
        return {true, QByteArrayLiteral("ok: APy asleep, starts on the next translation")};
    if (supervisor_ && supervisor_->failuresInARow() < kFailuresInARow)
        return {true, QByteArrayLiteral("ok: APy starting")};
    return {false, QByteArrayLiteral("APy not answering")};
}

QByteArray ServiceApp::metricsText() const
{
    const Translator &translator = service_.translator();
    ServiceMetrics::Levels levels;
    levels.openConnections = service_.http().connectionCount();
    levels.requestsInProgress = translator.answersOwed();
    levels.queuedTexts = translator.apyDispatcher().queuedTexts() + translator.waitingForApy();
    levels.apyEnginesUp = translator.apyDispatcher().usableServers();
    levels.cacheHits = translator.cache().hits();
    levels.cacheMisses = translator.cache().misses();
    levels.textsCut = translator.textsCut();
    levels.coldStarts = translator.coldStarts();
    return metrics_.exposition(levels);
}

void ServiceApp::stop()
{
    if (supervisor_)
        supervisor_->stop();
}

void ServiceApp::fetchExternalPairs(ApyClient *probe)
{
    probe->listPairs(2000, [this, probe](bool ok, const QByteArray &body) {
        if (!ok) {
            QTimer::singleShot(1000, probe, [this, probe] { fetchExternalPairs(probe); });
            return;
        }
        // Once in use, an APy that fails is skipped and tried again by
        // the service itself; the probe's work is done.
        if (externalInUse_) {
            service_.translator().addApy(probe->baseUrl());
            qCInfo(lcService, "APy at %s in use as well",
                   qUtf8Printable(probe->baseUrl().toString()));
        } else {
            useApy(probe->baseUrl(), body, {});
            externalInUse_ = service_.translator().apyAvailable();
        }
        probe->deleteLater();
    });
}

void ServiceApp::useApy(const QUrl &base, const QByteArray &listPairs, const QByteArray &accessKey)
{
    const std::optional<RouteTable> routes = RouteTable::FromListPairs(listPairs);
    if (!routes) {
        qCWarning(lcService, "APy's pair list is unreadable");
        return;
    }
    qCInfo(lcService, "APy at %s with %d pairs, serving on %s:%d", qUtf8Printable(base.toString()),
           int(routes->size()), qUtf8Printable(settings_.listen.toString()), int(service_.port()));
    service_.translator().setApy(base, *routes, accessKey);
}

}  // namespace verz
