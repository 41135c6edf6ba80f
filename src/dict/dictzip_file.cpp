#include "dict/dictzip_file.h"

#include <zlib.h>

#include <algorithm>

namespace verz {

namespace {

constexpr unsigned char kGzipMagic[2] = {0x1f, 0x8b};
constexpr int kFlagHeaderCrc = 0x02;
constexpr int kFlagExtra = 0x04;
constexpr int kFlagName = 0x08;
constexpr int kFlagComment = 0x10;
// The header, its extra field and the stored names fit in this much.
constexpr qint64 kHeaderReadLimit = 128 * 1024;

quint32 Little16(const QByteArray &bytes, qsizetype at)
{
    return quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8;
}

quint32 Little32(const QByteArray &bytes, qsizetype at)
{
    return Little16(bytes, at) | Little16(bytes, at + 2) << 16;
}

// Skips a zero-ended name at at; -1 when it runs past the bytes read.
qsizetype PastZero(const QByteArray &bytes, qsizetype at)
{
    const qsizetype zero = bytes.indexOf('\0', at);
    return zero < 0 ? -1 : zero + 1;
}

}  // namespace

std::unique_ptr<DictzipFile> DictzipFile::Open(const QString &path)
{
    std::unique_ptr<DictzipFile> file(new DictzipFile);
    file->file_.setFileName(path);
    if (!file->file_.open(QIODevice::ReadOnly) || !file->readHeader())
        return nullptr;
    return file;
}

bool DictzipFile::readHeader()
{
    const QByteArray head = file_.read(kHeaderReadLimit);
    if (head.size() < 2 || quint8(head[0]) != kGzipMagic[0] || quint8(head[1]) != kGzipMagic[1]) {
        size_ = file_.size();
        return true;
    }
    compressed_ = true;
    if (head.size() < 12 || head[2] != 8)  // deflate is the only method gzip has
        return false;
    const int flags = quint8(head[3]);
    if (!(flags & kFlagExtra))
        return false;  // plain gzip: no chunk table to read it piecewise
    const qsizetype extraLength = Little16(head, 10);
    const qsizetype extraEnd = 12 + extraLength;
    if (extraEnd > head.size())
        return false;
    // The extra field is a list of subfields; ours is "RA".
    QList<quint32> chunkSizes;
    for (qsizetype at = 12; at + 4 <= extraEnd;) {
        const qsizetype length = Little16(head, at + 2);
        const qsizetype data = at + 4;
        if (data + length > extraEnd)
            return false;
        if (head[at] == 'R' && head[at + 1] == 'A' && length >= 6) {
            chunkLength_ = Little16(head, data + 2);
            const qsizetype count = Little16(head, data + 4);
            if (Little16(head, data) != 1 || chunkLength_ == 0 || 6 + 2 * count > length)
                return false;
            for (qsizetype i = 0; i < count; ++i)
                chunkSizes.push_back(Little16(head, data + 6 + 2 * i));
        }
        at = data + length;
    }
    if (chunkSizes.isEmpty())
        return false;
    qsizetype start = extraEnd;
    if (flags & kFlagName)
        start = PastZero(head, start);
    if (start >= 0 && (flags & kFlagComment))
        start = PastZero(head, start);
    if (start >= 0 && (flags & kFlagHeaderCrc))
        start += 2;
    if (start < 0)
        return false;
    qint64 offset = start;
    chunkStarts_.reserve(chunkSizes.size() + 1);
    for (const quint32 compressedSize : chunkSizes) {
        chunkStarts_.push_back(offset);
        offset += compressedSize;
    }
    chunkStarts_.push_back(offset);
    // The trailer's last four bytes give the text's size (modulo 4 GiB,
    // far above any dictionary); it must agree with the chunk count.
    if (offset + 8 > file_.size() || !file_.seek(file_.size() - 4))
        return false;
    const QByteArray trailer = file_.read(4);
    if (trailer.size() != 4)
        return false;
    size_ = Little32(trailer, 0);
    const qint64 chunkCount = chunkSizes.size();
    return size_ > (chunkCount - 1) * chunkLength_ && size_ <= chunkCount * chunkLength_;
}

std::optional<QByteArray> DictzipFile::read(qint64 offset, qint64 length)
{
    if (offset < 0 || length < 0 || offset > size_ || length > size_ - offset)
        return std::nullopt;
    if (!compressed_) {
        if (!file_.seek(offset))
            return std::nullopt;
        QByteArray text = file_.read(length);
        return text.size() == length ? std::optional(text) : std::nullopt;
    }
    QByteArray text;
    text.reserve(length);
    for (qint64 at = offset; at < offset + length;) {
        const qsizetype index = at / chunkLength_;
        const std::optional<QByteArray> inflated = chunk(index);
        const qint64 within = at - index * chunkLength_;
        if (!inflated || within >= inflated->size())
            return std::nullopt;
        const qint64 take = std::min<qint64>(inflated->size() - within, offset + length - at);
        text.append(inflated->constData() + within, take);
        at += take;
    }
    return text;
}

std::optional<QByteArray> DictzipFile::chunk(qsizetype index)
{
    if (index == cachedIndex_)
        return cachedChunk_;
    if (index + 1 >= chunkStarts_.size() || !file_.seek(chunkStarts_[index]))
        return std::nullopt;
    QByteArray packed = file_.read(chunkStarts_[index + 1] - chunkStarts_[index]);
    if (packed.size() != chunkStarts_[index + 1] - chunkStarts_[index])
        return std::nullopt;
    // Each chunk ends in a full flush, so it inflates on its own as raw deflate.
    QByteArray out(chunkLength_, Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(packed.data());
    stream.avail_in = uInt(packed.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = inflate(&stream, Z_SYNC_FLUSH);
    const qsizetype produced = out.size() - stream.avail_out;
    inflateEnd(&stream);
    if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
        return std::nullopt;
    out.truncate(produced);
    cachedIndex_ = index;
    cachedChunk_ = out;
    return out;
}

}  // namespace verz
