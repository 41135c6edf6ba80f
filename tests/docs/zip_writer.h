#pragma once

// Writes small zips for tests, with the defects the service must catch on
// demand: a directory that lies about sizes, an encryption flag, a link.

#include <QByteArray>
#include <QList>

#include <zlib.h>

namespace verz::test {

struct ZipMember {
    QByteArray name;
    QByteArray content;
    bool deflate = true;
    bool encryptedFlag = false;
    qint64 declaredSize = -1;  // what the directory claims; -1: the truth
    quint32 unixMode = 0;      // e.g. 0120777: a symbolic link, made on Unix
};

inline QByteArray Le16(quint16 v)
{
    QByteArray bytes(2, '\0');
    bytes[0] = char(v & 0xff);
    bytes[1] = char(v >> 8);
    return bytes;
}

inline QByteArray Le32(quint32 v)
{
    return Le16(quint16(v & 0xffff)) + Le16(quint16(v >> 16));
}

inline QByteArray RawDeflate(const QByteArray &data)
{
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&s, uLong(data.size()))), '\0');
    s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    s.avail_in = uInt(data.size());
    s.next_out = reinterpret_cast<Bytef *>(out.data());
    s.avail_out = uInt(out.size());
    deflate(&s, Z_FINISH);
    out.truncate(qsizetype(s.total_out));
    deflateEnd(&s);
    return out;
}

inline QByteArray MakeZip(const QList<ZipMember> &members)
{
    QByteArray body;
    QByteArray directory;
    for (const ZipMember &m : members) {
        const QByteArray packed = m.deflate ? RawDeflate(m.content) : m.content;
        const quint32 crc = quint32(
            crc32(0, reinterpret_cast<const Bytef *>(m.content.data()), uInt(m.content.size())));
        const quint32 size = quint32(m.declaredSize < 0 ? m.content.size() : m.declaredSize);
        const QByteArray &name = m.name;
        const QByteArray common = Le16(20) + Le16(m.encryptedFlag ? 1 : 0) +
                                  Le16(m.deflate ? 8 : 0) + Le32(0) + Le32(crc) +
                                  Le32(quint32(packed.size())) + Le32(size) +
                                  Le16(quint16(name.size())) + Le16(0);
        const quint32 offset = quint32(body.size());
        body += Le32(0x04034b50) + common + name + packed;
        directory += Le32(0x02014b50) + Le16(m.unixMode ? 0x0314 : 20) + common + Le16(0) +
                     Le16(0) + Le16(0) + Le32(m.unixMode << 16) + Le32(offset) + name;
    }
    const auto count = quint16(members.size());
    return body + directory + Le32(0x06054b50) + Le16(0) + Le16(0) + Le16(count) + Le16(count) +
           Le32(quint32(directory.size())) + Le32(quint32(body.size())) + Le16(0);
}

}  // namespace verz::test
