#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPointer>

#include <functional>
#include <utility>

namespace verz {

class HttpConnection;

// The answer owed to one request. Written once; a responder dropped unwritten
// answers 500 so the connection never waits for ever. Writing after the client
// left does nothing.
class HttpResponder {
public:
    enum class StatusCode {
        Ok = 200,
        NoContent = 204,
        BadRequest = 400,
        Forbidden = 403,
        NotFound = 404,
        MethodNotAllowed = 405,
        RequestTimeout = 408,
        PayloadTooLarge = 413,
        UriTooLong = 414,
        MisdirectedRequest = 421,
        UnsupportedMediaType = 415,
        UnprocessableContent = 422,
        RequestHeaderFieldsTooLarge = 431,
        InternalServerError = 500,
        ServiceUnavailable = 503,
    };
    using HeaderList = QList<std::pair<QByteArray, QByteArray>>;

    HttpResponder(HttpConnection *connection, bool headOnly, bool keepAlive);
    HttpResponder(HttpResponder &&other) noexcept;
    HttpResponder &operator=(HttpResponder &&) = delete;
    HttpResponder(const HttpResponder &) = delete;
    ~HttpResponder();

    void write(const QByteArray &body, const HeaderList &headers, StatusCode status);
    // A short answer in plain text, written as one line: refusals, errors,
    // health. extra comes after the Content-Type.
    void writeText(QByteArrayView text, StatusCode status, const HeaderList &extra = {});
    // False once the client has gone: the answer would reach nobody.
    bool clientConnected() const;
    // Told the status once the answer is written (an unwritten one's 500 included).
    void whenWritten(std::function<void(StatusCode)> observer);

    // The bytes of one answer as they go on the wire.
    static QByteArray Compose(const QByteArray &body, const HeaderList &headers, StatusCode status,
                              bool headOnly, bool close);
    // The bytes of writeText's answer, closing the connection: for refusals
    // written before any handler has the request.
    static QByteArray ComposeText(QByteArrayView text, StatusCode status);

private:
    QPointer<HttpConnection> connection_;
    bool headOnly_;
    bool keepAlive_;
    bool written_ = false;
    std::function<void(StatusCode)> observer_;
};

// An answer the server gives of its own accord, in the language of the
// service: the status and its one line of text (a literal, or a text that
// outlives the refusal, such as an upload path's rules).
struct Refusal {
    HttpResponder::StatusCode status = HttpResponder::StatusCode::BadRequest;
    QByteArrayView text;
};

}  // namespace verz
