#include "http/upload_spool.h"

#include <QDir>

namespace verz {

namespace {

int liveSpools = 0;
constexpr qsizetype kMaxChunkLine = 1024;

}  // namespace

UploadSpool::UploadSpool(const QString &folder, qint64 contentLength, qint64 maxBytes)
    : file_(
          std::make_shared<QTemporaryFile>(QDir(folder).filePath(QStringLiteral("upload-XXXXXX")))),
      expected_(contentLength), maxBytes_(maxBytes)
{
    ++liveSpools;
    if (!file_->open())
        state_ = State::DiskError;
    else if (expected_ == 0)
        state_ = State::Done;
}

UploadSpool::~UploadSpool()
{
    --liveSpools;
}

int UploadSpool::Live()
{
    return liveSpools;
}

bool UploadSpool::store(QByteArrayView bytes)
{
    if (written_ + bytes.size() > maxBytes_) {
        state_ = State::TooLarge;
        return false;
    }
    if (file_->write(bytes.data(), bytes.size()) != bytes.size()) {
        state_ = State::DiskError;
        return false;
    }
    written_ += bytes.size();
    return true;
}

qsizetype UploadSpool::feed(QByteArrayView bytes)
{
    if (state_ != State::NeedMore)
        return 0;
    if (expected_ < 0)
        return feedChunked(bytes);
    const qsizetype take = qsizetype(qMin<qint64>(bytes.size(), expected_ - written_));
    if (store(bytes.first(take)) && written_ == expected_)
        state_ = State::Done;
    return take;
}

qsizetype UploadSpool::feedChunked(QByteArrayView bytes)
{
    qsizetype at = 0;
    while (at < bytes.size() && state_ == State::NeedMore) {
        if (chunk_ == Chunk::Data) {
            const qsizetype take = qsizetype(qMin<qint64>(bytes.size() - at, chunkLeft_));
            if (!store(bytes.sliced(at, take)))
                break;
            at += take;
            chunkLeft_ -= take;
            if (chunkLeft_ == 0)
                chunk_ = Chunk::DataEnd;
            continue;
        }
        // The other states read lines.
        const char c = bytes[at++];
        if (c != '\n') {
            line_ += c;
            if (line_.size() > kMaxChunkLine)
                state_ = State::Malformed;
            continue;
        }
        if (line_.endsWith('\r'))
            line_.chop(1);
        const QByteArray line = std::exchange(line_, {});
        if (chunk_ == Chunk::DataEnd) {
            if (!line.isEmpty())
                state_ = State::Malformed;
            chunk_ = Chunk::SizeLine;
        } else if (chunk_ == Chunk::Trailer) {
            if (line.isEmpty())
                state_ = State::Done;
        } else {
            const qsizetype semi = line.indexOf(';');
            const QByteArray digits = (semi < 0 ? line : line.first(semi)).trimmed();
            bool ok = !digits.isEmpty() && digits.size() <= 15;
            const qint64 size = ok ? digits.toLongLong(&ok, 16) : 0;
            if (!ok || size < 0)
                state_ = State::Malformed;
            else if (written_ + size > maxBytes_)
                state_ = State::TooLarge;
            else if (size == 0)
                chunk_ = Chunk::Trailer;
            else {
                chunkLeft_ = size;
                chunk_ = Chunk::Data;
            }
        }
    }
    return at;
}

std::shared_ptr<QTemporaryFile> UploadSpool::take()
{
    if (state_ != State::Done)
        return {};
    file_->flush();
    file_->seek(0);
    return std::exchange(file_, {});
}

}  // namespace verz
