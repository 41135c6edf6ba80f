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

}  // namespace

HttpConnection::HttpConnection(QTcpSocket *socket, Limits limits, Dispatch dispatch,
                               QObject *parent)
    : QObject(parent), socket_(socket), limits_(limits), dispatch_(std::move(dispatch))
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
        const qsizetype headEnd = FindHeadEnd(buffer_);
        if (headEnd >= 0) {
            takeHead(headEnd);
            continue;
        }
        // Judged while it arrives, so garbage and floods are refused early.
        const GateVerdict verdict = JudgeRequestStart(buffer_);
        if (verdict == GateVerdict::BadRequest)
            refuse(Status::BadRequest, "Requête mal formée.");
        else if (verdict == GateVerdict::UriTooLong)
            refuse(Status::UriTooLong, "Requête trop longue.");
        else if (buffer_.size() > kMaxRequestHead)
            refuse(Status::RequestHeaderFieldsTooLarge, "En-tête de requête trop grand.");
        break;
    }
    pumping_ = false;
}

void HttpConnection::takeHead(qsizetype headEnd)
{
    auto parsed = ParseRequestHead(QByteArrayView(buffer_).first(headEnd));
    buffer_.remove(0, headEnd);
    if (const HeadError *error = std::get_if<HeadError>(&parsed)) {
        switch (*error) {
        case HeadError::BadRequest:
            refuse(Status::BadRequest, "Requête mal formée.");
            break;
        case HeadError::UriTooLong:
            refuse(Status::UriTooLong, "Requête trop longue.");
            break;
        case HeadError::HeadTooLarge:
            refuse(Status::RequestHeaderFieldsTooLarge, "En-tête de requête trop grand.");
            break;
        }
        return;
    }
    HttpRequest &request = std::get<HttpRequest>(parsed);
    if (request.announcesBody && bodyPolicy_) {
        if (const UploadRules *rules = bodyPolicy_(request)) {
            if (startBody(request, *rules))
                pumpBody();
            return;
        }
    }
    // The body is never read, so nothing after it can be told from it.
    if (request.announcesBody)
        request.keepAlive = false;
    request.peer = socket_->peerAddress();
    phase_ = Phase::Answering;
    arm(Wait::None, 0);
    dispatch_(request, HttpResponder(this, request.method == "HEAD", request.keepAlive));
}

bool HttpConnection::startBody(HttpRequest &request, const UploadRules &rules)
{
    const QByteArray coding = request.field("Transfer-Encoding");
    if (!coding.isNull() && coding.trimmed().compare("chunked", Qt::CaseInsensitive) != 0) {
        refuse(Status::BadRequest, "Codage de transfert non pris en charge.");
        return false;
    }
    if (UploadSpool::Live() >= rules.maxUploads) {
        refuse(Status::ServiceUnavailable, "Trop d'envois en cours ; réessayez dans un instant.");
        return false;
    }
    const qint64 length = coding.isNull() ? request.field("Content-Length").toLongLong() : -1;
    spool_ = std::make_unique<UploadSpool>(rules.folder, length, rules.maxBytes);
    if (spool_->state() == UploadSpool::State::TooLarge) {
        spool_.reset();
        refuse(Status::PayloadTooLarge, rules.tooLargeText.constData());
        return false;
    }
    // Never reused: whatever follows a body someone gave up on is not a request.
    request.keepAlive = false;
    bodyRequest_ = request;
    bodyRules_ = &rules;
    bodyClock_.start();
    phase_ = Phase::Body;
    arm(Wait::Body, rules.stallMs);
    return true;
}

void HttpConnection::pumpBody()
{
    if (phase_ != Phase::Body)
        return;
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
        if (bodyClock_.elapsed() > bodyRules_->wholeMs)
            refuse(Status::RequestTimeout,
                   "Envoi trop lent : le fichier n'est pas arrivé à temps.");
        else if (progressed)
            arm(Wait::Body, bodyRules_->stallMs);
        return;
    case UploadSpool::State::TooLarge:
        spool_.reset();
        refuse(Status::PayloadTooLarge, bodyRules_->tooLargeText.constData());
        return;
    case UploadSpool::State::Malformed:
        spool_.reset();
        refuse(Status::BadRequest, "Corps de requête mal découpé.");
        return;
    case UploadSpool::State::DiskError:
        spool_.reset();
        refuse(Status::ServiceUnavailable,
               "Le service ne peut pas recevoir de fichier pour l'instant.");
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
    dispatch_(request, HttpResponder(this, false, false));
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

void HttpConnection::refuse(HttpResponder::StatusCode status, const char *text)
{
    socket_->write(HttpResponder::ComposeText(text, status));
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
            refuse(Status::RequestTimeout, "En-tête de requête incomplet dans le délai.");
            return;
        }
        break;
    case Wait::Body:
        if (phase_ == Phase::Body) {
            refuse(Status::RequestTimeout, "Envoi interrompu : plus rien n'arrive du fichier.");
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
