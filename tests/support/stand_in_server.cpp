#include "stand_in_server.h"

#include "http_answer.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace verz::test {

namespace {
QByteArray reasonFor(int status)
{
    switch (status) {
    case 200:
        return QByteArrayLiteral("OK");
    case 301:
        return QByteArrayLiteral("Moved Permanently");
    case 302:
        return QByteArrayLiteral("Found");
    case 307:
        return QByteArrayLiteral("Temporary Redirect");
    case 404:
        return QByteArrayLiteral("Not Found");
    case 500:
        return QByteArrayLiteral("Internal Server Error");
    case 503:
        return QByteArrayLiteral("Service Unavailable");
    default:
        return QByteArrayLiteral("Status");
    }
}

QByteArray pathOf(const QByteArray &target)
{
    const qsizetype query = target.indexOf('?');
    return query < 0 ? target : target.left(query);
}
}  // namespace

StandInServer::StandInServer(QObject *parent) : QObject(parent), server_(new QTcpServer(this))
{
    server_->listen(QHostAddress::LocalHost, 0);
    connect(server_, &QTcpServer::newConnection, this, &StandInServer::onNewConnection);
}

StandInServer::~StandInServer()
{
    closeConnections();
}

quint16 StandInServer::port() const
{
    return server_->serverPort();
}

QUrl StandInServer::root() const
{
    return QUrl(QString::fromLatin1(url({})));
}

QString StandInServer::host() const
{
    return QStringLiteral("127.0.0.1:") + QString::number(port());
}

QByteArray StandInServer::url(const QByteArray &path) const
{
    return QByteArrayLiteral("http://127.0.0.1:") + QByteArray::number(port()) + path;
}

void StandInServer::setScript(const Script &script)
{
    default_ = script;
}

void StandInServer::setPage(const QByteArray &body, int status)
{
    Script script;
    script.body = body;
    script.status = status;
    default_ = script;
}

void StandInServer::setRedirect(const QByteArray &location, int status)
{
    Script script;
    script.status = status;
    script.location = location;
    default_ = script;
}

void StandInServer::setRedirectLoop()
{
    Script loop;
    loop.status = 302;
    loop.location = QByteArrayLiteral("/loop");
    default_ = loop;
    routes_.insert(QByteArrayLiteral("/loop"), loop);
}

void StandInServer::setRoute(const QByteArray &path, const Script &script)
{
    routes_.insert(path, script);
    composers_.remove(path);
}

void StandInServer::setRoute(const QByteArray &path, const Script &script, const Compose &compose)
{
    routes_.insert(path, script);
    composers_.insert(path, compose);
}

void StandInServer::setHang()
{
    Script hang;
    hang.hang = true;
    default_ = hang;
}

QByteArray StandInServer::lastTarget() const
{
    return received_.isEmpty() ? QByteArray() : received_.last().target;
}

QList<QByteArray> StandInServer::distinctTargets() const
{
    QList<QByteArray> targets;
    for (const Received &request : received_) {
        if (targets.isEmpty() || targets.last() != request.target)
            targets.append(request.target);
    }
    return targets;
}

QString StandInServer::queryValue(const QByteArray &target, const QByteArray &name)
{
    const qsizetype query = target.indexOf('?');
    if (query < 0)
        return {};
    const QList<QByteArray> fields = target.mid(query + 1).split('&');
    for (const QByteArray &field : fields) {
        const qsizetype equals = field.indexOf('=');
        const QByteArray key = equals < 0 ? field : field.left(equals);
        if (key == name)
            return QString::fromUtf8(QByteArray::fromPercentEncoding(field.mid(equals + 1)));
    }
    return {};
}

void StandInServer::closeConnections()
{
    const QList<QTcpSocket *> sockets = pending_.keys();
    pending_.clear();
    for (QTcpSocket *socket : sockets) {
        socket->abort();
        socket->deleteLater();
    }
    for (QTcpSocket *socket : server_->findChildren<QTcpSocket *>()) {
        socket->abort();
        socket->deleteLater();
    }
}

void StandInServer::onNewConnection()
{
    while (QTcpSocket *socket = server_->nextPendingConnection()) {
        pending_.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            pending_.remove(socket);
            socket->deleteLater();
        });
    }
}

void StandInServer::onReadyRead(QTcpSocket *socket)
{
    auto buffered = pending_.find(socket);
    if (buffered == pending_.end()) {
        socket->readAll();  // already answered or hanging: ignore what follows
        return;
    }
    buffered->append(socket->readAll());
    if (buffered->startsWith('\x16')) {  // a TLS record: handshake
        ++tlsAttempts_;
        pending_.erase(buffered);
        socket->abort();
        return;
    }
    const qsizetype headEnd = buffered->indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    const QByteArray head = buffered->left(headEnd);
    const qsizetype length = std::max<qsizetype>(ContentLength(head), 0);
    if (buffered->size() < headEnd + 4 + length)
        return;

    const qsizetype lineEnd = head.indexOf("\r\n");
    Received request;
    request.requestLine = lineEnd < 0 ? head : head.left(lineEnd);
    request.headers = lineEnd < 0 ? QByteArray() : head.mid(lineEnd + 2);
    request.body = buffered->mid(headEnd + 4, length);
    pending_.erase(buffered);
    if (keepAlive_)
        pending_.insert(socket, QByteArray());
    const QList<QByteArray> parts = request.requestLine.split(' ');
    request.method = parts.value(0);
    request.target = parts.value(1);
    request.clientPort = socket->peerPort();
    received_.append(request);
    respond(socket, request);
}

void StandInServer::respond(QTcpSocket *socket, const Received &request)
{
    Script script = scriptFor(request.target);
    if (script.echoText)
        script.body = QByteArrayLiteral("<html><body><div id=result_box dir=\"ltr\">") +
                      queryValue(request.target, "text").toHtmlEscaped().toUtf8() +
                      QByteArrayLiteral("</div></body></html>");
    const auto compose = composers_.constFind(pathOf(request.target));
    if (compose != composers_.constEnd())
        (*compose)(request, script);
    if (script.hang)
        return;
    if (script.delayMs > 0) {
        QPointer<QTcpSocket> alive(socket);
        QTimer::singleShot(script.delayMs, this, [this, alive, script] {
            if (alive)
                answer(alive, script);
        });
        return;
    }
    answer(socket, script);
}

void StandInServer::answer(QTcpSocket *socket, const Script &script)
{
    const qsizetype announced = script.truncate ? script.body.size() + 1000 : script.body.size();
    QByteArray response = QByteArrayLiteral("HTTP/1.1 ") + QByteArray::number(script.status) + ' ' +
                          reasonFor(script.status) + QByteArrayLiteral("\r\n");
    if (!script.contentType.isEmpty())
        response +=
            QByteArrayLiteral("Content-Type: ") + script.contentType + QByteArrayLiteral("\r\n");
    if (!script.location.isEmpty())
        response += QByteArrayLiteral("Location: ") + script.location + QByteArrayLiteral("\r\n");
    if (!script.noLength)
        response += QByteArrayLiteral("Content-Length: ") + QByteArray::number(announced) +
                    QByteArrayLiteral("\r\n");
    if (keepAlive_) {
        socket->write(response + QByteArrayLiteral("\r\n") + script.body);
        return;
    }
    response += QByteArrayLiteral("Connection: close\r\n\r\n") + script.body;
    socket->write(response);
    socket->disconnectFromHost();  // closes once everything is written
}

const StandInServer::Script &StandInServer::scriptFor(const QByteArray &target) const
{
    const auto route = routes_.constFind(pathOf(target));
    return route == routes_.constEnd() ? default_ : *route;
}

}  // namespace verz::test
