#pragma once

#include "apy/apy_supervisor.h"
#include "service/operations_endpoints.h"
#include "service/service_metrics.h"
#include "service/systemd_notifier.h"
#include "service/translation_service.h"

#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace verz {

struct ServiceSettings {
    QHostAddress listen = QHostAddress::LocalHost;
    quint16 port = 8787;
    QList<QUrl> apy;           // APy servers to use; none: run our own
    int idleExitSeconds = 0;   // end after this long without a request (0: never)
    int apyIdleSeconds = 120;  // our own APy: pipelines, then APy itself, stop when unused
    ApySupervisor::Options supervisor;
    TranslationService::Options service;
    bool metricsFromAnywhere = false;
    QStringList warnings;  // for the log at start
};

// The command line of verzolan-service; nullopt (with a message in error)
// when it cannot be used.
std::optional<ServiceSettings> ParseServiceArguments(const QStringList &arguments, QString *error);

// The whole service: the page server, and APy, our own child or one given.
class ServiceApp : public QObject {
    Q_OBJECT
public:
    explicit ServiceApp(ServiceSettings settings, QObject *parent = nullptr);
    ~ServiceApp() override;

    // False with a message when the service cannot serve; exitCode() then
    // says why (kPortTaken: another process holds the address already).
    bool start(QString *error);
    void stop();
    int exitCode() const { return exitCode_; }
    TranslationService &service() { return service_; }
    bool apyAsleep() const { return apyAsleep_; }
    OperationsEndpoints::Health health() const;
    QByteArray metricsText() const;

    static constexpr int kPortTaken = 3;

Q_SIGNALS:
    // No request for the idle-exit time and none unanswered: time to end.
    void idleTimeReached();

private:
    bool openListeningSocket(QString *error);
    void onRequest();
    void restartIdleTimers();
    void onIdleExitTimer();
    void onApyIdleTimer();
    void fetchExternalPairs(ApyClient *probe);
    void useApy(const QUrl &base, const QByteArray &listPairs, const QByteArray &accessKey);

    ServiceSettings settings_;
    // Declared before the service, so they outlive it: the answers still owed
    // when the service goes (a SIGTERM under load) are written as 500s then,
    // and each one is counted here.
    ServiceMetrics metrics_;
    QTimer idleExit_;
    QTimer apyIdle_;
    bool apyAsleep_ = false;
    bool externalInUse_ = false;  // the first --apy to answer gave the pairs
    int exitCode_ = 0;
    ApySupervisor *supervisor_ = nullptr;
    SystemdNotifier *notifier_;
    TranslationService service_;
};

}  // namespace verz
