#pragma once

#include "service/operations_endpoints.h"
#include "service/service_metrics.h"
#include "service/service_options.h"
#include "service/systemd_notifier.h"
#include "service/text_endpoints.h"

#include <QObject>
#include <QTimer>

namespace verz {

// The whole service: the endpoints on their socket, APy, the operations'
// endpoints and figures, the service manager's pings, the idle exit.
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
    TextEndpoints &endpoints() { return endpoints_; }
    OperationsEndpoints::Health health() const;
    QByteArray metricsText() const;

    static constexpr int kPortTaken = 3;

Q_SIGNALS:
    // No request for the idle-exit time and none unanswered: time to end.
    void idleTimeReached();

private:
    bool openListeningSocket(QString *error);
    void onIdleExitTimer();
    ApyPresence &apy() { return endpoints_.translator().apy(); }

    ServiceSettings settings_;
    // Declared before the endpoints, so they outlive them: the answers still
    // owed when the endpoints go (a SIGTERM under load) are written as 500s
    // then, and each one is counted here.
    ServiceMetrics metrics_;
    QTimer idleExit_;
    int exitCode_ = 0;
    SystemdNotifier *notifier_;
    TextEndpoints endpoints_;
};

}  // namespace verz
