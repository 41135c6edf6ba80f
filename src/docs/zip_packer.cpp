#include "docs/zip_packer.h"

#include <zlib.h>

namespace verz {

namespace {

void Put16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

void Put32(QByteArray &out, quint32 value)
{
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

}  // namespace

QByteArray RawDeflate(QByteArrayView data)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

void ZipPacker::add(QByteArrayView name, QByteArrayView content, bool stored)
{
    const QByteArray packed = stored ? content.toByteArray() : RawDeflate(content);
    const auto crc =
        quint32(crc32(0, reinterpret_cast<const Bytef *>(content.data()), uInt(content.size())));
    QByteArray common;
    Put16(common, 20);                           // version needed: 2.0
    Put16(common, 0x0800);                       // names in UTF-8
    Put16(common, stored ? 0 : 8);               // method
    Put32(common, quint32((1 << 5) | 1) << 16);  // 1980-01-01 00:00: a fixed date
    Put32(common, crc);
    Put32(common, quint32(packed.size()));
    Put32(common, quint32(content.size()));
    Put16(common, quint32(name.size()));
    Put16(common, 0);  // no extra field
    const auto offset = quint32(body_.size());
    Put32(body_, 0x04034b50);
    body_ += common;
    body_ += name;
    body_ += packed;
    Put32(directory_, 0x02014b50);
    Put16(directory_, 0x0300 | 20);  // made on Unix, so the mode below is read
    directory_ += common;
    Put16(directory_, 0);                       // comment
    Put16(directory_, 0);                       // disk
    Put16(directory_, 0);                       // internal attributes
    Put32(directory_, quint32(0100644) << 16);  // a regular file, rw-r--r--
    Put32(directory_, offset);
    directory_ += name;
    ++count_;
}

QByteArray ZipPacker::finish()
{
    QByteArray out = std::exchange(body_, {});
    const auto at = quint32(out.size());
    const auto size = quint32(directory_.size());
    out += std::exchange(directory_, {});
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, quint32(count_));
    Put16(out, quint32(count_));
    Put32(out, size);
    Put32(out, at);
    Put16(out, 0);
    count_ = 0;
    return out;
}

}  // namespace verz
