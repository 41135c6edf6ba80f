#include "service/operations_endpoints.h"

#include "http/http_server.h"
#include "metrics/exposition.h"

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

const HttpResponder::HeaderList kNoStore{
    {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}};

}  // namespace

void OperationsEndpoints::installOn(HttpServer &http) const
{
    http.route(QStringLiteral("/healthz"), [health = health](const HttpRequest &,
                                                             HttpResponder &&responder) {
        const Health now = health();
        responder.writeText(now.text, now.ok ? Status::Ok : Status::ServiceUnavailable, kNoStore);
    });
    http.route(QStringLiteral("/metrics"), [metrics = metrics,
                                            open = metricsFromAnywhere](const HttpRequest &request,
                                                                        HttpResponder &&responder) {
        // A proxy on this machine makes every client look local:
        // the example nginx configuration refuses /metrics itself.
        if (!open && !request.peer.isLoopback()) {
            responder.writeText("Metrics are served to this machine only "
                                "(--metrics-from-anywhere opens them)",
                                Status::Forbidden, kNoStore);
            return;
        }
        responder.write(metrics(),
                        {{QByteArrayLiteral("Content-Type"), QByteArray(metrics::kContentType)},
                         {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}},
                        Status::Ok);
    });
}

}  // namespace verz
