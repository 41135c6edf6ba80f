#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QUrl>

#include <memory>
#include <utility>

class QTemporaryFile;

namespace verz {

// One request, its head read whole. A body is read only on the paths that
// take one (HttpServer::routeUpload) and then waits in a file; elsewhere only
// whether one was announced is kept, so that the connection is closed after
// the answer rather than reading the body as if it were the next request.
struct HttpRequest {
    QByteArray method;
    QByteArray target;
    bool http10 = false;
    QList<std::pair<QByteArray, QByteArray>> fields;  // names as sent, values trimmed
    bool hasHost = false;
    QByteArray host;
    bool announcesBody = false;            // a non-zero Content-Length or any Transfer-Encoding
    bool keepAlive = true;                 // false for HTTP/1.0 and after "Connection: close"
    QHostAddress peer;                     // the client's address, as the connection sees it
    std::shared_ptr<QTemporaryFile> body;  // the spooled body, on an upload path only

    QByteArray field(QByteArrayView name) const;  // null when absent
    QUrl url() const { return QUrl::fromEncoded(target); }
};

}  // namespace verz
