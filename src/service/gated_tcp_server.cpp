#include "service/gated_tcp_server.h"

#include "service/request_gate.h"

#include <QEvent>

namespace verz {

GatedSocket::GatedSocket(QObject *parent) : QTcpSocket(parent) {}

void GatedSocket::hold()
{
    ++holds_;
}

void GatedSocket::release()
{
    if (--holds_ == 0 && deletionWanted_)
        deleteLater();
}

bool GatedSocket::event(QEvent *event)
{
    if (event->type() == QEvent::DeferredDelete && holds_ > 0) {
        deletionWanted_ = true;
        return true;
    }
    return QTcpSocket::event(event);
}

void GatedSocket::inspectIncoming()
{
    if (refused_) {
        // Nothing after a refusal reaches the library.
        readAll();
        return;
    }
    if (!atRequestStart_)
        return;
    // Until the line is judged, the library has consumed every byte it was
    // offered (it stops early only at the end of a whole request), so what is
    // buffered now follows what was judged before.
    head_ += peek(bytesAvailable());
    switch (JudgeRequestStart(head_)) {
    case GateVerdict::NeedMore:
        if (head_.size() > kMaxRequestLine + 2)
            refuse("HTTP/1.1 414 URI Too Long");
        break;
    case GateVerdict::Pass:
        atRequestStart_ = false;
        head_.clear();
        break;
    case GateVerdict::BadRequest:
        refuse("HTTP/1.1 400 Bad Request");
        break;
    case GateVerdict::UriTooLong:
        refuse("HTTP/1.1 414 URI Too Long");
        break;
    }
}

void GatedSocket::requestTaken()
{
    atRequestStart_ = true;
    head_.clear();
}

void GatedSocket::refuse(QByteArrayView statusLine)
{
    refused_ = true;
    head_.clear();
    readAll();
    QByteArray answer = statusLine.toByteArray();
    answer += "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: 12\r\n"
              "Connection: close\r\n\r\nBad request\n";
    write(answer);
    disconnectFromHost();
}

GatedTcpServer::GatedTcpServer(QObject *parent) : QTcpServer(parent) {}

GatedSocket *GatedTcpServer::takeCurrentSocket()
{
    GatedSocket *socket = current_.data();
    current_.clear();
    if (socket)
        socket->requestTaken();
    return socket;
}

void GatedTcpServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new GatedSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    // Connected before the library connects its reader, so it runs first.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        current_ = socket;
        socket->inspectIncoming();
    });
    addPendingConnection(socket);
}

}  // namespace verz
