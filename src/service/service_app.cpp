#include "service/service_app.h"

#include <QCommandLineParser>

#include <cstdio>

namespace verz {

std::optional<ServiceSettings> ParseServiceArguments(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Local translation page service for Verzolan"));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port to listen on (8787)."), QStringLiteral("N"));
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Address to listen on (127.0.0.1; others can then reach the service)."),
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
        QStringLiteral("Milliseconds to wait for a translation before answering 503 (8000)."),
        QStringLiteral("MS"));
    const QCommandLineOption cache(
        QStringLiteral("cache-entries"),
        QStringLiteral("Recent translations kept to answer repeats (4096; 0: none)."),
        QStringLiteral("N"));
    parser.addOptions({port, listen, apy, processes, pipes, timeout, cache});
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
        !number(timeout, 100, 9500, &settings.service.apyTimeoutMs))
        return std::nullopt;
    int cacheEntries = int(settings.service.cacheEntries);
    if (!number(cache, 0, 1000000, &cacheEntries))
        return std::nullopt;
    settings.port = quint16(portValue);
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
    // APy gives up on a pipeline a little before we give up on APy.
    settings.supervisor.apyTimeoutSeconds = std::max(1, settings.service.apyTimeoutMs / 1000);
    return settings;
}

ServiceApp::ServiceApp(ServiceSettings settings, QObject *parent)
    : QObject(parent), settings_(std::move(settings)), service_(settings_.service)
{
}

ServiceApp::~ServiceApp()
{
    stop();
}

bool ServiceApp::start(QString *error)
{
    if (!service_.listen(settings_.listen, settings_.port)) {
        *error = QStringLiteral("cannot listen on %1:%2")
                     .arg(settings_.listen.toString())
                     .arg(settings_.port);
        return false;
    }
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
        return false;
    }
    supervisor_ = new ApySupervisor(settings_.supervisor, this);
    connect(supervisor_, &ApySupervisor::ready, this,
            [this](const QUrl &base, const QByteArray &listPairs) {
                useApy(base, listPairs, supervisor_->accessKey());
            });
    connect(supervisor_, &ApySupervisor::lost, this, [this] {
        std::fprintf(stderr, "verzolan-service: APy stopped, starting it again\n");
        service_.clearApy();
    });
    supervisor_->start();
    return true;
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
        // Once in use, an engine that fails is skipped and tried again by
        // the service itself; the probe's work is done.
        if (externalInUse_) {
            service_.addApy(probe->baseUrl());
            std::fprintf(stderr, "verzolan-service: APy at %s in use as well\n",
                         qUtf8Printable(probe->baseUrl().toString()));
        } else {
            useApy(probe->baseUrl(), body, {});
            externalInUse_ = service_.apyAvailable();
        }
        probe->deleteLater();
    });
}

void ServiceApp::useApy(const QUrl &base, const QByteArray &listPairs, const QByteArray &accessKey)
{
    const std::optional<RouteTable> routes = RouteTable::FromListPairs(listPairs);
    if (!routes) {
        std::fprintf(stderr, "verzolan-service: APy's pair list is unreadable\n");
        return;
    }
    std::fprintf(stderr, "verzolan-service: APy at %s with %d pairs, serving on %s:%d\n",
                 qUtf8Printable(base.toString()), int(routes->size()),
                 qUtf8Printable(settings_.listen.toString()), int(service_.port()));
    service_.setApy(base, *routes, accessKey);
}

}  // namespace verz
