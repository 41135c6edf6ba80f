#include "service/operations_endpoints.h"

#include "http/gated_tcp_server.h"
#include "metrics/exposition.h"

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

const HttpResponder::HeaderList &PlainNoStore()
{
    static const HttpResponder::HeaderList headers{
        {QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/plain; charset=utf-8")},
        {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}};
    return headers;
}

}  // namespace

void OperationsEndpoints::installOn(GatedTcpServer &http) const
{
    http.route(QStringLiteral("/healthz"),
               [health = health](const HttpRequest &, HttpResponder &&responder) {
                   const Health now = health();
                   responder.write(now.text + '\n', PlainNoStore(),
                                   now.ok ? Status::Ok : Status::ServiceUnavailable);
               });
    http.route(QStringLiteral("/metrics"), [metrics = metrics,
                                            open = metricsFromAnywhere](const HttpRequest &request,
                                                                        HttpResponder &&responder) {
        // A proxy on this machine makes every client look local:
        // the example nginx configuration refuses /metrics itself.
        if (!open && !request.peer.isLoopback()) {
            responder.write(QByteArrayLiteral("Metrics are served to this machine only "
                                              "(--metrics-from-anywhere opens them)\n"),
                            PlainNoStore(), Status::Forbidden);
            return;
        }
        responder.write(metrics(),
                        {{QByteArrayLiteral("Content-Type"), QByteArray(metrics::kContentType)},
                         {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}},
                        Status::Ok);
    });
}

}  // namespace verz
