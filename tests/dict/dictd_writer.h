#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>

#include <zlib.h>

#include <algorithm>

namespace verz::test {

// dictd's base 64 number: "A" is 0, "BA" is 64.
inline QByteArray DictdNumber(qint64 value)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QByteArray out;
    do {
        out.prepend(digits[value % 64]);
        value /= 64;
    } while (value > 0);
    return out;
}

inline void AppendLittle16(QByteArray *out, quint32 value)
{
    out->append(char(value & 0xff));
    out->append(char((value >> 8) & 0xff));
}

inline void AppendLittle32(QByteArray *out, quint32 value)
{
    AppendLittle16(out, value & 0xffff);
    AppendLittle16(out, value >> 16);
}

// text as dictzip: raw deflate flushed every chunkLength bytes, the chunk
// sizes in the "RA" extra field, gzip's trailer.
inline QByteArray Dictzip(const QByteArray &text, int chunkLength)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QList<quint32> sizes;
    QByteArray body;
    for (qsizetype at = 0; at < text.size(); at += chunkLength) {
        QByteArray chunk = text.mid(at, chunkLength);
        const bool last = at + chunkLength >= text.size();
        QByteArray out(int(deflateBound(&stream, uLong(chunk.size()))) + 64, '\0');
        stream.next_in = reinterpret_cast<Bytef *>(chunk.data());
        stream.avail_in = uInt(chunk.size());
        stream.next_out = reinterpret_cast<Bytef *>(out.data());
        stream.avail_out = uInt(out.size());
        deflate(&stream, last ? Z_FINISH : Z_FULL_FLUSH);
        out.truncate(out.size() - stream.avail_out);
        sizes.push_back(quint32(out.size()));
        body += out;
    }
    deflateEnd(&stream);
    QByteArray file("\x1f\x8b\x08\x04", 4);
    AppendLittle32(&file, 0);  // no time
    file += QByteArray("\x00\x03", 2);
    AppendLittle16(&file, quint32(4 + 6 + 2 * sizes.size()));
    file += "RA";
    AppendLittle16(&file, quint32(6 + 2 * sizes.size()));
    AppendLittle16(&file, 1);
    AppendLittle16(&file, quint32(chunkLength));
    AppendLittle16(&file, quint32(sizes.size()));
    for (const quint32 size : sizes)
        AppendLittle16(&file, size);
    file += body;
    AppendLittle32(&file, quint32(crc32(0, reinterpret_cast<const Bytef *>(text.constData()),
                                        uInt(text.size()))));
    AppendLittle32(&file, quint32(text.size()));
    return file;
}

// Writes <folder>/<name>.index and .dict.dz for the entries (index key,
// entry text), filed in key order as dictd files them.
inline void WriteDictionary(const QString &folder, const QString &name,
                            QList<QPair<QByteArray, QByteArray>> entries, int chunkLength = 48)
{
    QDir().mkpath(folder);
    QByteArray text;
    QList<QPair<QByteArray, QByteArray>> lines;
    for (const auto &[key, entry] : entries) {
        lines.push_back(
            {key, key + '\t' + DictdNumber(text.size()) + '\t' + DictdNumber(entry.size()) + '\n'});
        text += entry;
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QFile index(folder + QLatin1Char('/') + name + QStringLiteral(".index"));
    index.open(QIODevice::WriteOnly);
    for (const auto &line : lines)
        index.write(line.second);
    QFile data(folder + QLatin1Char('/') + name + QStringLiteral(".dict.dz"));
    data.open(QIODevice::WriteOnly);
    data.write(Dictzip(text, chunkLength));
}

}  // namespace verz::test
