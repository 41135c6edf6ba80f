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
#include <optional>
#include <utility>

class QTcpSocket;

namespace verz {

// What the server makes of a request once its head is read, decided once and
// carried to the request's dispatch.
struct Admission {
    std::optional<Refusal> refusal;     // owed instead of any handler's answer
    const UploadRules *body = nullptr;  // the rules its body is read under; nullptr: not read
};

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
    // Asked once a head is read, before its body, if any, is.
    using Admit = std::function<Admission(const HttpRequest &)>;
    // Handed each request once its head (on an upload, its body) is read.
    using Dispatch = std::function<void(const HttpRequest &, const Admission &, HttpResponder &&)>;

    // Takes the socket over (it becomes a child).
    HttpConnection(QTcpSocket *socket, Limits limits, Admit admit, Dispatch dispatch,
                   QObject *parent);
    ~HttpConnection() override;

    // Between requests with nothing received: it can be closed without harm.
    bool idle() const;
    qint64 idleMs() const { return idleClock_.elapsed(); }
    // Closes at once.
    void drop();

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
    void startBody(HttpRequest &request, const Admission &admission);
    void pumpBody();
    void startClosing();
    void halfCloseWhenSent();
    void arm(Wait wait, int ms);
    void onTimeout();
    void finish();

    QTcpSocket *socket_;
    Limits limits_;
    Admit admit_;
    Dispatch dispatch_;
    Phase phase_ = Phase::Head;
    Wait wait_ = Wait::None;
    QByteArray buffer_;  // received, not yet taken as a request
    QTimer timer_;
    QElapsedTimer idleClock_;
    bool pumping_ = false;
    bool halfClosed_ = false;
    bool finished_ = false;
    std::unique_ptr<UploadSpool> spool_;
    HttpRequest bodyRequest_;  // waiting for its body
    Admission bodyAdmission_;  // that request's
    qint64 bodyLength_ = 0;    // as announced; -1: chunked
    QElapsedTimer bodyClock_;
};

}  // namespace verz
