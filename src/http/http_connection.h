#pragma once

#include "http/http_responder.h"
#include "http/request_gate.h"
#include "http/upload_spool.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

class QTcpSocket;

namespace verz {

// One client connection: reads one request head at a time within its limits
// and does not read the next one until the current one is answered, so
// pipelined requests are answered in order and a client that keeps sending
// meets TCP's flow control instead of our memory. Deletes itself when the
// connection ends.
class HttpConnection : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int headTimeoutMs = 5000;   // from a request's first byte to its whole head
        int idleTimeoutMs = 15000;  // keep-alive wait for the next request
    };
    using Dispatch = std::function<void(const HttpRequest &, HttpResponder &&)>;
    // The rules for a request that announces a body; nullptr: its body is not read.
    using BodyPolicy = std::function<const UploadRules *(const HttpRequest &)>;

    // Takes the socket over (it becomes a child).
    HttpConnection(QTcpSocket *socket, Limits limits, Dispatch dispatch, QObject *parent);
    ~HttpConnection() override;

    // Between requests with nothing received: it can be closed without harm.
    bool idle() const;
    qint64 idleMs() const { return idleClock_.elapsed(); }
    // Closes at once.
    void drop();
    void setBodyPolicy(BodyPolicy policy) { bodyPolicy_ = std::move(policy); }

Q_SIGNALS:
    void closed();

private:
    friend class HttpResponder;
    enum class Phase { Head, Body, Answering, Closing };
    enum class Wait { None, Idle, Head, Body, Closing };

    void pump();
    // Takes the request whose head is whole in the buffer and hands it on;
    // false while the head is still coming or once it is refused.
    bool readHead();
    void deliver(const QByteArray &bytes, bool close);
    void refuse(const Refusal &refusal);
    bool startBody(HttpRequest &request, const UploadRules &rules);
    void pumpBody();
    void startClosing();
    void halfCloseWhenSent();
    void arm(Wait wait, int ms);
    void onTimeout();
    void finish();

    QTcpSocket *socket_;
    Limits limits_;
    Dispatch dispatch_;
    Phase phase_ = Phase::Head;
    Wait wait_ = Wait::None;
    QByteArray buffer_;  // received, not yet taken as a request
    QTimer timer_;
    QElapsedTimer idleClock_;
    bool pumping_ = false;
    bool halfClosed_ = false;
    bool finished_ = false;
    BodyPolicy bodyPolicy_;
    std::unique_ptr<UploadSpool> spool_;
    const UploadRules *bodyRules_ = nullptr;
    HttpRequest bodyRequest_;  // waiting for its body
    QElapsedTimer bodyClock_;
};

}  // namespace verz
