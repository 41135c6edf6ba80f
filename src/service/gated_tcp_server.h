#pragma once

#include "service/http_connection.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include <functional>

namespace verz {

// The listening side of the page service: accepts connections up to a cap,
// reads them as HttpConnections and hands each request to the handler of its
// path. Only GET and HEAD are served, requests with a body are refused, and
// while it listens on loopback only, so are requests naming another host (a
// page elsewhere whose name was rebound to 127.0.0.1).
class GatedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    using Handler = std::function<void(const HttpRequest &, HttpResponder &&)>;
    struct Limits {
        HttpConnection::Limits connection;
        int maxConnections = 512;
    };

    explicit GatedTcpServer(Limits limits, QObject *parent = nullptr);

    void route(const QString &path, Handler handler);
    void setMissingHandler(Handler handler);

    qsizetype connectionCount() const { return connections_.size(); }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void dispatch(const HttpRequest &request, HttpResponder &&responder);
    bool makeRoom();
    void refuseConnection(qintptr descriptor);

    Limits limits_;
    QHash<QString, Handler> routes_;
    Handler missing_;
    QList<HttpConnection *> connections_;
    QTimer acceptRetry_;
};

}  // namespace verz
