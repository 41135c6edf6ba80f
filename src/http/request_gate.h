#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QUrl>

#include <memory>
#include <utility>
#include <variant>

class QTemporaryFile;

namespace verz {

// The longest request line the server reads; beyond it the answer is 414.
inline constexpr qsizetype kMaxRequestLine = 64 * 1024;
// The longest request head (request line and header fields) it reads;
// beyond it the answer is 431.
inline constexpr qsizetype kMaxRequestHead = kMaxRequestLine + 16 * 1024;
// More header fields than any browser sends.
inline constexpr qsizetype kMaxHeaderFields = 100;

enum class GateVerdict {
    NeedMore,    // looks like a request so far, the line is not complete yet
    Pass,        // a well-formed request line: the head parser takes it from here
    BadRequest,  // 400: not HTTP, or a target with broken %XX escapes
    UriTooLong,  // 414
};

// Judges the start of a request as it arrives on the connection, before its
// head is whole: garbage and a target with broken escapes are refused at
// once, with a status the client can read, rather than after a wait for a
// head that may never end.
GateVerdict JudgeRequestStart(QByteArrayView head);

// One request head, read whole. The server reads no request bodies, so only
// whether one was announced is kept: the connection is closed after the
// answer rather than reading the body as if it were the next request.
struct HttpRequest {
    QByteArray method;
    QByteArray target;
    bool http10 = false;
    QList<std::pair<QByteArray, QByteArray>> fields;  // names as sent, values trimmed
    bool hasHost = false;
    QByteArray host;
    bool announcesBody = false;  // a non-zero Content-Length or any Transfer-Encoding
    bool keepAlive = true;       // false for HTTP/1.0 and after "Connection: close"
    QHostAddress peer;           // the client's address, as the connection sees it
    // The body, for the few paths that take one (see GatedTcpServer::routeUpload).
    std::shared_ptr<QTemporaryFile> body;

    QByteArray field(QByteArrayView name) const;  // null when absent
    QUrl url() const { return QUrl::fromEncoded(target); }
};

enum class HeadError {
    BadRequest,    // 400
    UriTooLong,    // 414
    HeadTooLarge,  // 431
};

// Where the head in bytes ends (just past its empty line), or -1 while it
// has not arrived whole. Blank lines before the request line are skipped.
qsizetype FindHeadEnd(QByteArrayView bytes);

// Reads a head as FindHeadEnd delimits it.
std::variant<HttpRequest, HeadError> ParseRequestHead(QByteArrayView head);

// Whether a Host field names this machine's loopback: "localhost", an address
// in 127.0.0.0/8 or "[::1]", each with or without a port. A page whose own
// name was made to resolve to 127.0.0.1 still sends its own name here.
bool IsLoopbackHost(QByteArrayView host);

// Whether a browser sent the request from another site's page: its Origin
// is not this service's own address (the Host it was sent to, so another
// port of this machine is another site too), is "null" (a sandboxed frame,
// a local file) without Sec-Fetch-Site saying same-origin (a page of ours
// that sends no referrer), or its Sec-Fetch-Site says cross-site or same-site. A
// request with neither field (a command line, an old browser's link) is
// not: a browser sends Origin with every cross-origin POST.
bool ComesFromAnotherSite(const HttpRequest &request);

}  // namespace verz
