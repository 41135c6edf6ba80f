#include "http/http_connection.h"

#include <QTcpSocket>

#include <sys/socket.h>

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

// A client that sends requests without reading the answers is not read
// further once this much is waiting to be sent to it.
constexpr qint64 kMaxUnsentAnswers = 1024 * 1024;
// After a refusal, how long the rest of what the client sends is read and
// dropped, so that closing does not reset the connection before the client
// has read the refusal.
constexpr int kClosingMs = 2000;

// What the connection refuses itself (a head's refusals come with it from
// ReadRequestHead, an upload's 413 from the path's rules).
constexpr Refusal kHeadTimeout{Status::RequestTimeout,
                               "En-tête de requête incomplet dans le délai."};
constexpr Refusal kUnknownCoding{Status::BadRequest, "Codage de transfert non pris en charge."};
constexpr Refusal kTooManyUploads{Status::ServiceUnavailable,
                                  "Trop d'envois en cours ; réessayez dans un instant."};
constexpr Refusal kUploadTooSlow{Status::RequestTimeout,
                                 "Envoi trop lent : le fichier n'est pas arrivé à temps."};
constexpr Refusal kUploadStalled{Status::RequestTimeout,
                                 "Envoi interrompu : plus rien n'arrive du fichier."};
constexpr Refusal kBadChunks{Status::BadRequest, "Corps de requête mal découpé."};
constexpr Refusal kNoRoomForUploads{Status::ServiceUnavailable,
                                    "Le service ne peut pas recevoir de fichier pour l'instant."};

}  // namespace

HttpConnection::HttpConnection(QTcpSocket *socket, Limits limits, Admit admit, Dispatch dispatch,
                               QObject *parent)
    : QObject(parent), socket_(socket), limits_(limits), admit_(std::move(admit)),
      dispatch_(std::move(dispatch))
{
    socket_->setParent(this);
    // Past this the socket leaves further bytes to the kernel, whose window
    // then holds the client back.
    socket_->setReadBufferSize(kMaxRequestHead + 1);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &HttpConnection::onTimeout);
    connect(socket_, &QTcpSocket::readyRead, this, [this] {
        if (phase_ == Phase::Closing)
            socket_->readAll();
        else if (phase_ == Phase::Body)
            pumpBody();
        else
            pump();
    });
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] {
        if (phase_ == Phase::Closing)
            halfCloseWhenSent();
        else
            pump();
    });
    connect(socket_, &QTcpSocket::disconnected, this, &HttpConnection::finish);
    arm(Wait::Idle, limits_.idleTimeoutMs);
    pump();
}

HttpConnection::~HttpConnection() = default;

bool HttpConnection::idle() const
{
    return phase_ == Phase::Head && buffer_.isEmpty() && socket_->bytesAvailable() == 0 &&
           socket_->bytesToWrite() == 0;
}

void HttpConnection::drop()
{
    socket_->abort();
    finish();
}

void HttpConnection::finish()
{
    if (finished_)
        return;
    finished_ = true;
    phase_ = Phase::Closing;
    spool_.reset();  // an upload left half-way is not kept
    timer_.stop();
    Q_EMIT closed();
    deleteLater();
}

void HttpConnection::pump()
{
    if (phase_ != Phase::Head || pumping_)
        return;
    pumping_ = true;
    while (phase_ == Phase::Head && socket_->bytesToWrite() <= kMaxUnsentAnswers) {
        if (buffer_.size() <= kMaxRequestHead)
            buffer_ += socket_->read(kMaxRequestHead + 1 - buffer_.size());
        qsizetype blank = 0;
        while (blank < buffer_.size() && (buffer_[blank] == '\r' || buffer_[blank] == '\n'))
            ++blank;
        buffer_.remove(0, blank);
        if (buffer_.isEmpty()) {
            if (wait_ != Wait::Idle)
                arm(Wait::Idle, limits_.idleTimeoutMs);
            break;
        }
        if (wait_ != Wait::Head)
            arm(Wait::Head, limits_.headTimeoutMs);
        if (!readHead())
            break;
    }
    pumping_ = false;
}

bool HttpConnection::readHead()
{
    HeadRead read = ReadRequestHead(buffer_);
    if (read.state == HeadRead::State::Refused)
        refuse(read.refusal);
    if (read.state != HeadRead::State::Read)
        return false;
    buffer_.remove(0, read.length);
    HttpRequest &request = read.request;
    request.peer = socket_->peerAddress();
    const Admission admission = admit_(request);
    if (request.announcesBody && admission.body) {
        startBody(request, admission);
        return true;
    }
    // The body is never read, so nothing after it can be told from it.
    if (request.announcesBody)
        request.keepAlive = false;
    phase_ = Phase::Answering;
    arm(Wait::None, 0);
    dispatch_(request, admission, HttpResponder(this, request.method == "HEAD", request.keepAlive));
    return true;
}

void HttpConnection::startBody(HttpRequest &request, const Admission &admission)
{
    const UploadRules &rules = *admission.body;
    const QByteArray coding = request.field("Transfer-Encoding");
    if (!coding.isNull() && coding.trimmed().compare("chunked", Qt::CaseInsensitive) != 0) {
        refuse(kUnknownCoding);
        return;
    }
    if (UploadSpool::Live() >= rules.maxUploads) {
        refuse(kTooManyUploads);
        return;
    }
    // A length announced past the cap is refused before any of the body comes.
    bodyLength_ = coding.isNull() ? request.field("Content-Length").toLongLong() : -1;
    if (bodyLength_ > rules.maxBytes) {
        refuse({Status::PayloadTooLarge, rules.tooLargeText});
        return;
    }
    // Never reused: whatever follows a body someone gave up on is not a request.
    request.keepAlive = false;
    bodyRequest_ = request;
    bodyAdmission_ = admission;
    bodyClock_.start();
    phase_ = Phase::Body;
    arm(Wait::Body, rules.stallMs);
    pumpBody();
}

void HttpConnection::pumpBody()
{
    if (phase_ != Phase::Body)
        return;
    // Its first turn comes straight from startBody, so the spool counts
    // among the uploads at once as soon as the body is accepted.
    if (!spool_)
        spool_ = std::make_unique<UploadSpool>(bodyAdmission_.body->folder, bodyLength_,
                                               bodyAdmission_.body->maxBytes);
    // What came with the head first, then the socket, a slice at a time:
    // memory holds one slice whatever the body's size.
    bool progressed = false;
    while (spool_->state() == UploadSpool::State::NeedMore) {
        QByteArray slice =
            buffer_.isEmpty() ? socket_->read(64 * 1024) : std::exchange(buffer_, {});
        if (slice.isEmpty())
            break;
        progressed = true;
        const qsizetype used = spool_->feed(slice);
        buffer_ = slice.sliced(used);
    }
    switch (spool_->state()) {
    case UploadSpool::State::NeedMore:
        if (bodyClock_.elapsed() > bodyAdmission_.body->wholeMs)
            refuse(kUploadTooSlow);
        else if (progressed)
            arm(Wait::Body, bodyAdmission_.body->stallMs);
        return;
    case UploadSpool::State::TooLarge:
        spool_.reset();
        refuse({Status::PayloadTooLarge, bodyAdmission_.body->tooLargeText});
        return;
    case UploadSpool::State::Malformed:
        spool_.reset();
        refuse(kBadChunks);
        return;
    case UploadSpool::State::DiskError:
        spool_.reset();
        refuse(kNoRoomForUploads);
        return;
    case UploadSpool::State::Done:
        break;
    }
    HttpRequest request = std::exchange(bodyRequest_, {});
    request.body = spool_->take();
    spool_.reset();
    buffer_.clear();
    phase_ = Phase::Answering;
    arm(Wait::None, 0);
    dispatch_(request, std::exchange(bodyAdmission_, {}), HttpResponder(this, false, false));
}

void HttpConnection::deliver(const QByteArray &bytes, bool close)
{
    if (phase_ != Phase::Answering || socket_->state() != QAbstractSocket::ConnectedState)
        return;
    socket_->write(bytes);
    if (close) {
        startClosing();
        return;
    }
    phase_ = Phase::Head;
    arm(Wait::Idle, limits_.idleTimeoutMs);
    pump();
}

void HttpConnection::refuse(const Refusal &refusal)
{
    socket_->write(HttpResponder::ComposeText(refusal.text, refusal.status));
    startClosing();
}

void HttpConnection::startClosing()
{
    phase_ = Phase::Closing;
    spool_.reset();
    buffer_.clear();
    socket_->readAll();
    arm(Wait::Closing, kClosingMs);
    halfCloseWhenSent();
}

void HttpConnection::halfCloseWhenSent()
{
    if (halfClosed_ || socket_->bytesToWrite() > 0)
        return;
    // Our side is done; the client sees the end of the answer and closes.
    halfClosed_ = true;
    ::shutdown(int(socket_->socketDescriptor()), SHUT_WR);
}

void HttpConnection::arm(Wait wait, int ms)
{
    wait_ = wait;
    if (wait == Wait::None) {
        timer_.stop();
        return;
    }
    if (wait == Wait::Idle)
        idleClock_.start();
    timer_.start(ms);
}

void HttpConnection::onTimeout()
{
    switch (wait_) {
    case Wait::Head:
        if (phase_ == Phase::Head) {
            refuse(kHeadTimeout);
            return;
        }
        break;
    case Wait::Body:
        if (phase_ == Phase::Body) {
            refuse(kUploadStalled);
            return;
        }
        break;
    case Wait::Idle:
    case Wait::Closing:
        drop();
        return;
    case Wait::None:
        break;
    }
}

}  // namespace verz
