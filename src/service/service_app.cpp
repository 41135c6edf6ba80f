#include "service/service_app.h"

#include "service/private_scratch.h"
#include "service/service_log.h"

#include <QDir>

#include <systemd/sd-daemon.h>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>

namespace verz {

ServiceApp::ServiceApp(ServiceSettings settings, QObject *parent)
    : QObject(parent), settings_(std::move(settings)), notifier_(new SystemdNotifier(this)),
      endpoints_(settings_.endpoints)
{
    endpoints_.http().observeAnswers([this](const QString &route, int status, qint64 ns) {
        metrics_.answered(route, status, ns);
    });
    connect(&endpoints_.translator(), &Translator::translationAsked, this,
            [this](const QString &pair) { metrics_.translationAsked(pair); });
    connect(&endpoints_.translator().apyDispatcher(), &ApyDispatcher::callEnded, this,
            [this](int texts, bool ok) { metrics_.apyCallEnded(texts, ok); });
    OperationsEndpoints{[this] { return health(); }, [this] { return metricsText(); },
                        settings_.metricsFromAnywhere}
        .installOn(endpoints_.http());
    connect(&apy(), &ApyPresence::lost, this, [this] { metrics_.apyRestarted(); });
    apy().setBusy([this] { return endpoints_.answersOwed() > 0; });
    idleExit_.setSingleShot(true);
    connect(&idleExit_, &QTimer::timeout, this, &ServiceApp::onIdleExitTimer);
}

ServiceApp::~ServiceApp()
{
    stop();
    // The service's work still under way is dropped with it; nothing of it
    // may call back into this object while it is half gone.
    endpoints_.disconnect(this);
    apy().disconnect(this);
    endpoints_.translator().disconnect(this);
    endpoints_.translator().apyDispatcher().disconnect(this);
}

bool ServiceApp::start(QString *error)
{
    if (!openListeningSocket(error))
        return false;
    notifier_->ready();
    qCInfo(lcService, "serving on %s:%d", qUtf8Printable(settings_.listen.toString()),
           int(endpoints_.port()));
    for (const QString &warning : settings_.warnings)
        qCWarning(lcService, "%s", qUtf8Printable(warning));
    auto used = [this] {
        if (idleExit_.isActive())
            idleExit_.start();
    };
    // Idle time counts from the last request or answer, whichever came later.
    connect(&endpoints_, &TextEndpoints::requestArrived, this, [this, used] {
        used();
        apy().noteRequest();
    });
    auto answered = [this, used] {
        used();
        apy().noteAnswer();
    };
    connect(&endpoints_.translator(), &Translator::queryAnswered, this, answered);
    connect(&endpoints_, &TextEndpoints::documentAnswered, this, answered);
    if (settings_.idleExitSeconds > 0)
        idleExit_.start(settings_.idleExitSeconds * 1000);
    ApyPresence::Options apyOptions = settings_.apy;
    if (apyOptions.supervisor.tempFolder.isEmpty() && !PrivateScratchFolder().isEmpty()) {
        const QString apyFolder = QDir(PrivateScratchFolder()).filePath(QStringLiteral("apy"));
        if (QDir().mkpath(apyFolder))
            apyOptions.supervisor.tempFolder = apyFolder;
    }
    if (!apy().start(apyOptions, error)) {
        exitCode_ = 1;
        return false;
    }
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
        if (!endpoints_.adoptListeningSocket(descriptor)) {
            *error = QStringLiteral("cannot serve on the socket handed over");
            return false;
        }
        exitCode_ = 0;
        return true;
    }
    if (!endpoints_.listen(settings_.listen, settings_.port)) {
        const bool taken = endpoints_.listenError() == QAbstractSocket::AddressInUseError;
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

void ServiceApp::onIdleExitTimer()
{
    // A translation still on its way is finished first.
    if (endpoints_.answersOwed() > 0) {
        idleExit_.start();
        return;
    }
    qCInfo(lcService, "no request for %d s, ending", settings_.idleExitSeconds);
    Q_EMIT idleTimeReached();
}

OperationsEndpoints::Health ServiceApp::health() const
{
    const ApyPresence::Health health = endpoints_.translator().apy().health();
    return {health.ok, health.text};
}

QByteArray ServiceApp::metricsText() const
{
    const Translator &translator = endpoints_.translator();
    ServiceMetrics::Levels levels;
    levels.openConnections = endpoints_.http().connectionCount();
    levels.requestsInProgress = translator.answersOwed();
    levels.queuedTexts = translator.apyDispatcher().queuedTexts() + translator.apy().waiting();
    levels.apyServersUp = translator.apyDispatcher().usableServers();
    levels.cacheHits = translator.cache().hits();
    levels.cacheMisses = translator.cache().misses();
    levels.textsCut = translator.textsCut();
    levels.coldStarts = translator.coldStarts();
    return metrics_.exposition(levels);
}

void ServiceApp::stop()
{
    apy().stop();
}

}  // namespace verz
