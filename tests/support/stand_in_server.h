#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QTcpServer;
class QTcpSocket;

namespace verz::test {

// A scripted loopback HTTP/1.1 server for tests: listens on 127.0.0.1 with a
// port the system picks, in the thread that creates it. It answers only while
// that thread runs an event loop (a QEventLoop inside the code under test, or
// WaitUntil in the test itself).
//
//     StandInServer server;                  // listening once constructed
//     server.setPage(QByteArrayLiteral("<div id=result_box dir=\"ltr\">Oui</div>"));
//     TranslationRequest request(server.host(), scratch);
//     ...
//     EXPECT_EQ(server.requests().size(), 1);
//     EXPECT_EQ(server.lastTarget(), "/translate_t?text=...&langpair=en|fr");
//
// Unless kept alive, every response carries "Connection: close" and the
// connection is closed once it is written. A request body is read by its Content-Length before the
// answer. A script applies to every request until it is changed;
// setRoute() gives one path (the target without its query) its own script,
// which is how redirect chains are built.
class StandInServer : public QObject {
    Q_OBJECT
public:
    struct Script {
        QByteArray body;
        int status = 200;
        QByteArray contentType = QByteArrayLiteral("text/html; charset=utf-8");
        // Absolute or relative; sent as "Location:" when not empty.
        QByteArray location;
        // Milliseconds to wait before answering (0: answer at once).
        int delayMs = 0;
        // Accept the connection, read the request, never answer.
        bool hang = false;
        // Announce Content-Length as body size + 1000, send the body, close.
        bool truncate = false;
        // Send no Content-Length: the body ends where the connection closes.
        bool noLength = false;
        // Answer with the request's own "text" parameter, HTML-escaped, as the
        // translation in a result box (body is ignored): each request gets a
        // page of its own, so a caller sending many texts can check each.
        bool echoText = false;
    };

    // One request as it reached the server, bytes untouched.
    struct Received {
        QByteArray requestLine;  // "GET /translate_t?... HTTP/1.1"
        QByteArray method;       // "GET"
        QByteArray target;       // "/translate_t?text=...&langpair=..."
        QByteArray headers;      // every header line after the request line, CR LF kept
        QByteArray body;         // as long as its Content-Length says
        quint16 clientPort = 0;  // tells the connections apart
    };
    // Writes the answer from the request, a JSON one for an API stand-in, say:
    // it gets a copy of the route's script to change before it is sent.
    using Compose = std::function<void(const Received &request, Script &answer)>;

    explicit StandInServer(QObject *parent = nullptr);
    ~StandInServer() override;

    quint16 port() const;
    // "127.0.0.1:<port>": what the program takes as its service host.
    QString host() const;
    // "http://127.0.0.1:<port>" followed by path (which starts with "/").
    QByteArray url(const QByteArray &path) const;
    // "http://127.0.0.1:<port>" as a URL.
    QUrl root() const;

    // The script for every path without a route of its own.
    void setScript(const Script &script);
    // Shorthands that replace the default script.
    void setPage(const QByteArray &body, int status = 200);
    void setRedirect(const QByteArray &location, int status = 302);
    // Every request is sent to "/loop", which redirects to itself.
    void setRedirectLoop();
    // A script for one path only ("/next", say); the query is ignored when matching.
    void setRoute(const QByteArray &path, const Script &script);
    void setRoute(const QByteArray &path, const Script &script, const Compose &compose);
    // Every request is read and none answered: a server that hangs.
    void setHang();

    // Every request in arrival order. Qt's client sometimes sends the target of
    // a redirect twice, on two connections: count distinctTargets() there.
    const QList<Received> &requests() const { return received_; }
    // The targets in arrival order with immediate repeats dropped.
    QList<QByteArray> distinctTargets() const;
    // Target of the latest request (empty before the first).
    QByteArray lastTarget() const;
    // Value of one query parameter of a target, percent-decoded as UTF-8 ("+" stays "+").
    static QString queryValue(const QByteArray &target, const QByteArray &name);

    // Connections that opened with a TLS handshake (an https address aimed at
    // this plain server); they are dropped at once, so the client fails fast.
    int tlsAttempts() const { return tlsAttempts_; }

    // Connections stay open for the client's next request, as a server under
    // load is met; off by default.
    void setKeepAlive(bool on) { keepAlive_ = on; }

    // Drops every open connection, hanging ones included.
    void closeConnections();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const Received &request);
    void answer(QTcpSocket *socket, const Script &script);
    const Script &scriptFor(const QByteArray &target) const;

    QTcpServer *server_;
    Script default_;
    QHash<QByteArray, Script> routes_;
    QHash<QByteArray, Compose> composers_;
    QList<Received> received_;
    QHash<QTcpSocket *, QByteArray> pending_;
    int tlsAttempts_ = 0;
    bool keepAlive_ = false;
};

}  // namespace verz::test
