#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace verz {

// A dictd data file read at any offset without inflating all of it: dictzip
// is gzip whose deflate stream is flushed every chunk, with the compressed
// size of each chunk in a header field, so a look-up inflates only the chunk
// or two that hold its entry. A file that is not gzip is read as it is
// (dictd accepts an uncompressed .dict too).
class DictzipFile {
public:
    // nullptr when the file is missing or its header is not one we can use.
    static std::unique_ptr<DictzipFile> Open(const QString &path);

    // The size of the text the file holds.
    qint64 size() const { return size_; }
    // nullopt past the end or when the stored data does not inflate.
    std::optional<QByteArray> read(qint64 offset, qint64 length);

private:
    DictzipFile() = default;
    bool readHeader();
    std::optional<QByteArray> chunk(qsizetype index);

    QFile file_;
    bool compressed_ = false;
    qint64 size_ = 0;
    qint64 chunkLength_ = 0;
    QList<qint64> chunkStarts_;  // file offset of each chunk, one more for the end
    // The last chunk inflated: an entry read after its neighbour often shares it.
    qsizetype cachedIndex_ = -1;
    QByteArray cachedChunk_;
};

}  // namespace verz
