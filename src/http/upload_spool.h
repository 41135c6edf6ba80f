#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTemporaryFile>

#include <memory>

namespace verz {

// How the few paths that take a request body take it.
struct UploadRules {
    qint64 maxBytes = 10 * 1024 * 1024;
    QString folder;           // where the body is spooled
    int maxUploads = 16;      // bodies being received at once, over all connections
    int stallMs = 15000;      // no byte of the body for this long: 408
    int wholeMs = 120000;     // the whole body, however it trickles
    QByteArray tooLargeText;  // the 413's text
};

// Receives one request body into a file of the private scratch folder, as it
// arrives, so an upload costs disk within its cap, never memory. Reads a body
// framed by Content-Length or sent chunked; stops at the cap whether or not the
// length was announced.
class UploadSpool {
public:
    enum class State { NeedMore, Done, TooLarge, Malformed, DiskError };

    // contentLength < 0: chunked. A length announced past maxBytes is the
    // connection's to refuse before any spool is made; the cap holds anyway.
    UploadSpool(const QString &folder, qint64 contentLength, qint64 maxBytes);
    ~UploadSpool();
    UploadSpool(const UploadSpool &) = delete;
    UploadSpool &operator=(const UploadSpool &) = delete;

    // Takes what arrived; returns how much of it belonged to the body (the
    // rest is the next request's).
    qsizetype feed(QByteArrayView bytes);
    State state() const { return state_; }
    qint64 received() const { return written_; }
    // Once Done: the body, flushed and positioned at its start.
    std::shared_ptr<QTemporaryFile> take();

    // Uploads alive in this process right now.
    static int Live();

private:
    qsizetype feedChunked(QByteArrayView bytes);
    bool store(QByteArrayView bytes);

    std::shared_ptr<QTemporaryFile> file_;
    qint64 expected_;
    qint64 maxBytes_;
    qint64 written_ = 0;
    State state_ = State::NeedMore;
    // Chunked framing: the size line being read, or the bytes left in a chunk.
    enum class Chunk { SizeLine, Data, DataEnd, Trailer } chunk_ = Chunk::SizeLine;
    QByteArray line_;
    qint64 chunkLeft_ = 0;
};

}  // namespace verz
