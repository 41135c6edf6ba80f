#pragma once

#include "http/http_connection.h"

#include <QByteArrayList>
#include <QHash>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include <functional>
#include <map>

namespace verz {

// The listening side of an HTTP/1.1 server: accepts connections up to a cap,
// reads them as HttpConnections and hands each request to the handler of its
// method and path (HEAD goes where GET does). Each request is admitted once,
// when its head is read (admit): while it listens on loopback only, requests
// naming another host (a page elsewhere whose name was rebound to 127.0.0.1)
// are refused, so are other sites' posts. Request bodies are not read, a
// request that announces one is refused, but on the upload paths (POST
// only), where it is spooled within its rules.
class HttpServer : public QTcpServer {
    Q_OBJECT
public:
    using Handler = std::function<void(const HttpRequest &, HttpResponder &&)>;
    // Each answer once written: the route's path ("other" for paths with no
    // route, so a scan of made-up paths cannot grow a table), the status and
    // the nanoseconds from the request's hand-over (its whole head, or on an
    // upload path its whole body).
    using AnswerObserver = std::function<void(const QString &route, int status, qint64 ns)>;
    struct Limits {
        HttpConnection::Limits connection;
        int maxConnections = 512;
    };

    explicit HttpServer(Limits limits, QObject *parent = nullptr);

    // Methods as sent ("GET"); GET brings HEAD along.
    void route(const QString &path, Handler handler,
               const QByteArrayList &methods = {QByteArrayLiteral("GET")});
    // A path served by POST with a body, read within the rules before the
    // handler runs (HttpRequest::body). Other methods go to route()'s handlers.
    void routeUpload(const QString &path, UploadRules rules, Handler handler);
    void setMissingHandler(Handler handler);
    void observeAnswers(AnswerObserver observer);

    qsizetype connectionCount() const { return connections_.size(); }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    // Whose requests are served: this machine's names while listening on
    // loopback only, no other site's posts; and whether the body is read.
    Admission admit(const HttpRequest &request) const;
    void dispatch(const HttpRequest &request, const Admission &admission,
                  HttpResponder &&responder);
    bool makeRoom();
    void refuseConnection(qintptr descriptor);

    Limits limits_;
    struct Route {
        QByteArrayList methods;
        Handler handler;
    };
    QHash<QString, Route> routes_;
    struct Upload {
        UploadRules rules;
        Handler handler;
    };
    std::map<QString, Upload> uploads_;  // node-based: the connections keep pointers to the rules
    Handler missing_;
    AnswerObserver observer_;
    QList<HttpConnection *> connections_;
    QTimer acceptRetry_;
};

// Whether a Host field names this machine's loopback: "localhost", an address
// in 127.0.0.0/8 or "[::1]", each with or without a port. A page whose own
// name was made to resolve to 127.0.0.1 still sends its own name here.
bool IsLoopbackHost(QByteArrayView host);

// Whether a browser sent the request from another site's page: its Origin
// is not this service's own address (the Host it was sent to, so another
// port of this machine is another site too), is "null" (a sandboxed frame,
// a local file) without Sec-Fetch-Site saying same-origin (a page of ours
// that sends no referrer), or its Sec-Fetch-Site says cross-site or same-site. A
// request with neither field (a command line, an old browser's link) is
// not: a browser sends Origin with every cross-origin POST.
bool ComesFromAnotherSite(const HttpRequest &request);

}  // namespace verz
