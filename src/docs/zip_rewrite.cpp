#include "docs/zip_rewrite.h"
#include "docs/zip_packer.h"

#include <zlib.h>

#include <array>

namespace verz {

namespace {

quint16 U16(QByteArrayView bytes, qsizetype at)
{
    return quint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8);
}

quint32 U32(QByteArrayView bytes, qsizetype at)
{
    return quint32(U16(bytes, at)) | quint32(U16(bytes, at + 2)) << 16;
}

void Put16(QByteArray &out, quint32 value)
{
    out += char(value & 0xff);
    out += char((value >> 8) & 0xff);
}

void Put32(QByteArray &out, quint32 value)
{
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

std::optional<QByteArray> Inflate(QByteArrayView packed, quint32 unpacked, qint64 budget)
{
    if (unpacked > budget)
        return std::nullopt;
    QByteArray out(qsizetype(unpacked), Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.data()));
    stream.avail_in = uInt(packed.size());
    std::array<char, 1> spare{};
    stream.next_out = out.isEmpty() ? reinterpret_cast<Bytef *>(spare.data())
                                    : reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = inflate(&stream, Z_FINISH);
    const bool whole = status == Z_STREAM_END && stream.total_out == unpacked;
    inflateEnd(&stream);
    if (!whole)
        return std::nullopt;
    return out;
}

}  // namespace

std::optional<QByteArray> RewriteZip(QByteArrayView zip, const ZipWanted &wanted,
                                     const ZipEdit &edit, qint64 maxUnpacked)
{
    qsizetype end = -1;
    for (qsizetype at = zip.size() - 22; at >= 0 && at >= zip.size() - 22 - 65535; --at) {
        if (U32(zip, at) == 0x06054b50) {
            end = at;
            break;
        }
    }
    if (end < 0)
        return std::nullopt;
    const quint16 count = U16(zip, end + 10);
    qsizetype at = U32(zip, end + 16);
    QByteArray body, directory;
    qint64 budget = maxUnpacked;
    for (int i = 0; i < count; ++i) {
        if (at + 46 > end || U32(zip, at) != 0x02014b50)
            return std::nullopt;
        const quint16 flags = U16(zip, at + 8);
        const quint16 method = U16(zip, at + 10);
        const quint32 stamp = U32(zip, at + 12);
        quint32 crc = U32(zip, at + 16);
        quint32 packedSize = U32(zip, at + 20);
        quint32 unpackedSize = U32(zip, at + 24);
        const quint16 nameLength = U16(zip, at + 28);
        const qsizetype rest = qsizetype(nameLength) + U16(zip, at + 30) + U16(zip, at + 32);
        const quint32 attributes = U32(zip, at + 38);
        const qsizetype local = U32(zip, at + 42);
        if (at + 46 + rest > end || (method != 0 && method != 8) || (flags & 1) ||
            packedSize == 0xffffffff || local + 30 > zip.size() || U32(zip, local) != 0x04034b50)
            return std::nullopt;
        const QByteArrayView rawName = zip.sliced(at + 46, nameLength);
        at += 46 + rest;
        const qsizetype dataAt = local + 30 + U16(zip, local + 26) + U16(zip, local + 28);
        if (dataAt + qsizetype(packedSize) > zip.size())
            return std::nullopt;
        QByteArray data = zip.sliced(dataAt, packedSize).toByteArray();
        quint16 newMethod = method;
        const QString name = QString::fromUtf8(rawName);
        if (wanted(name)) {
            std::optional<QByteArray> plain =
                method == 0 ? std::optional<QByteArray>(data) : Inflate(data, unpackedSize, budget);
            if (!plain || quint32(crc32(0, reinterpret_cast<const Bytef *>(plain->constData()),
                                        uInt(plain->size()))) != crc)
                return std::nullopt;
            budget -= plain->size();
            const QByteArray changed = edit(name, *plain);
            if (changed != *plain) {
                crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(changed.constData()),
                                    uInt(changed.size())));
                unpackedSize = quint32(changed.size());
                data = RawDeflate(changed);
                newMethod = 8;
                packedSize = quint32(data.size());
            }
        }
        const quint32 offset = quint32(body.size());
        const quint16 newFlags = flags & 0x0800;  // UTF-8 names; sizes now in the header
        Put32(body, 0x04034b50);
        Put16(body, 20);
        Put16(body, newFlags);
        Put16(body, newMethod);
        Put32(body, stamp);
        Put32(body, crc);
        Put32(body, packedSize);
        Put32(body, unpackedSize);
        Put16(body, nameLength);
        Put16(body, 0);
        body += rawName;
        body += data;
        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 20);
        Put16(directory, newFlags);
        Put16(directory, newMethod);
        Put32(directory, stamp);
        Put32(directory, crc);
        Put32(directory, packedSize);
        Put32(directory, unpackedSize);
        Put16(directory, nameLength);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, attributes);
        Put32(directory, offset);
        directory += rawName;
    }
    const quint32 directoryAt = quint32(body.size());
    body += directory;
    Put32(body, 0x06054b50);
    Put16(body, 0);
    Put16(body, 0);
    Put16(body, count);
    Put16(body, count);
    Put32(body, quint32(directory.size()));
    Put32(body, directoryAt);
    Put16(body, 0);
    return body;
}

}  // namespace verz
