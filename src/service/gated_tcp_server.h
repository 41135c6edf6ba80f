#pragma once

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace verz {

// A client connection that the HTTP library reads, with two additions:
// its deletion waits while an answer is still owed on it (the library deletes
// a socket as soon as the peer hangs up, which would leave a pending answer
// writing into freed memory), and the start of each request is judged before
// the library parses it.
class GatedSocket : public QTcpSocket {
    Q_OBJECT
public:
    explicit GatedSocket(QObject *parent = nullptr);

    // One more answer is owed on this connection / one has been written.
    void hold();
    void release();

    // Runs before the library's own reader on every readyRead.
    void inspectIncoming();
    // The library has taken a whole request off the connection.
    void requestTaken();

protected:
    bool event(QEvent *event) override;

private:
    void refuse(QByteArrayView statusLine);

    int holds_ = 0;
    bool deletionWanted_ = false;
    bool atRequestStart_ = true;
    bool refused_ = false;
    QByteArray head_;  // the current request's start, as far as it has been judged
};

// The listening side: hands GatedSockets to the HTTP library and remembers
// which connection the library is reading, so that a request handler can
// reach its connection.
class GatedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    explicit GatedTcpServer(QObject *parent = nullptr);

    // The connection whose request is being handled right now; cleared by taking it.
    GatedSocket *takeCurrentSocket();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QPointer<GatedSocket> current_;
};

}  // namespace verz
