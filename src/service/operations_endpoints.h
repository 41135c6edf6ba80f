#pragma once

#include <QByteArray>

#include <functional>

namespace verz {

class HttpServer;

// What an administrator's tools ask a running service: GET /healthz for a
// load balancer or a monitor, GET /metrics for a Prometheus scrape. Neither
// translates nor counts as use of the service (idle timers run on), so a
// monitor polling every few seconds does not keep APy awake.
struct OperationsEndpoints {
    struct Health {
        bool ok = false;
        QByteArray text;  // one short line
    };
    std::function<Health()> health;
    std::function<QByteArray()> metrics;
    // Off: /metrics answers loopback clients only, others get 403.
    bool metricsFromAnywhere = false;

    void installOn(HttpServer &http) const;
};

}  // namespace verz
