#include "http/http_responder.h"

#include "http/http_connection.h"

#include <QTcpSocket>

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

const char *ReasonPhrase(Status status)
{
    switch (status) {
    case Status::Ok:
        return "OK";
    case Status::NoContent:
        return "No Content";
    case Status::BadRequest:
        return "Bad Request";
    case Status::Forbidden:
        return "Forbidden";
    case Status::NotFound:
        return "Not Found";
    case Status::MethodNotAllowed:
        return "Method Not Allowed";
    case Status::RequestTimeout:
        return "Request Timeout";
    case Status::PayloadTooLarge:
        return "Content Too Large";
    case Status::UriTooLong:
        return "URI Too Long";
    case Status::MisdirectedRequest:
        return "Misdirected Request";
    case Status::UnsupportedMediaType:
        return "Unsupported Media Type";
    case Status::UnprocessableContent:
        return "Unprocessable Content";
    case Status::RequestHeaderFieldsTooLarge:
        return "Request Header Fields Too Large";
    case Status::InternalServerError:
        return "Internal Server Error";
    case Status::ServiceUnavailable:
        return "Service Unavailable";
    }
    return "Unknown";
}

HttpResponder::HeaderList PlainTextHeaders(const HttpResponder::HeaderList &extra)
{
    HttpResponder::HeaderList headers{
        {QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/plain; charset=utf-8")}};
    headers.append(extra);
    return headers;
}

QByteArray OneLine(QByteArrayView text)
{
    return text.toByteArray() + '\n';
}

}  // namespace

HttpResponder::HttpResponder(HttpConnection *connection, bool headOnly, bool keepAlive)
    : connection_(connection), headOnly_(headOnly), keepAlive_(keepAlive)
{
}

HttpResponder::HttpResponder(HttpResponder &&other) noexcept
    : connection_(std::move(other.connection_)), headOnly_(other.headOnly_),
      keepAlive_(other.keepAlive_), written_(other.written_), observer_(std::move(other.observer_))
{
    other.connection_.clear();
    other.written_ = true;
}

HttpResponder::~HttpResponder()
{
    if (written_)
        return;
    if (connection_)
        connection_->deliver(ComposeText("Erreur interne du service.", Status::InternalServerError),
                             true);
    if (observer_)
        observer_(Status::InternalServerError);
}

void HttpResponder::write(const QByteArray &body, const HeaderList &headers, StatusCode status)
{
    if (written_)
        return;
    written_ = true;
    if (connection_)
        connection_->deliver(Compose(body, headers, status, headOnly_, !keepAlive_), !keepAlive_);
    if (observer_)
        observer_(status);
}

void HttpResponder::writeText(QByteArrayView text, StatusCode status, const HeaderList &extra)
{
    write(OneLine(text), PlainTextHeaders(extra), status);
}

void HttpResponder::whenWritten(std::function<void(StatusCode)> observer)
{
    observer_ = std::move(observer);
}

bool HttpResponder::clientConnected() const
{
    return connection_ && connection_->socket_->state() == QAbstractSocket::ConnectedState;
}

QByteArray HttpResponder::Compose(const QByteArray &body, const HeaderList &headers,
                                  StatusCode status, bool headOnly, bool close)
{
    QByteArray bytes =
        "HTTP/1.1 " + QByteArray::number(int(status)) + ' ' + ReasonPhrase(status) + "\r\n";
    for (const auto &[name, value] : headers)
        bytes += name + ": " + value + "\r\n";
    // A HEAD answer announces the length the GET answer would have; a 204
    // has no body and says nothing of its length.
    const bool bodiless = status == StatusCode::NoContent;
    if (!bodiless)
        bytes += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (close)
        bytes += "Connection: close\r\n";
    bytes += "\r\n";
    if (!headOnly && !bodiless)
        bytes += body;
    return bytes;
}

QByteArray HttpResponder::ComposeText(QByteArrayView text, StatusCode status)
{
    return Compose(OneLine(text), PlainTextHeaders({}), status, false, true);
}

}  // namespace verz
