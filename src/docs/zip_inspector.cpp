#include "docs/zip_inspector.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace verz {

namespace {

constexpr quint32 kEndSignature = 0x06054b50;
constexpr quint32 kCentralSignature = 0x02014b50;
constexpr quint32 kLocalSignature = 0x04034b50;
constexpr qsizetype kEndSize = 22;
constexpr qsizetype kCentralSize = 46;
constexpr qsizetype kLocalSize = 30;

quint16 U16(QByteArrayView bytes, qsizetype at)
{
    return quint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8);
}

quint32 U32(QByteArrayView bytes, qsizetype at)
{
    return quint32(U16(bytes, at)) | quint32(U16(bytes, at + 2)) << 16;
}

struct Member {
    QString name;
    QByteArray rawName;
    quint16 madeBy = 0;
    quint32 external = 0;
    quint16 flags = 0;
    quint16 method = 0;
    quint32 crc = 0;
    quint32 packed = 0;
    quint32 unpacked = 0;
    quint32 localOffset = 0;
};

// Unpacks one member, counting into written, which must stay within budget
// over the whole archive; the bytes are kept only when wanted.
ZipVerdict Unpack(QByteArrayView data, const Member &member, qint64 budget, qint64 *written,
                  QByteArray *kept, qint64 keepCap)
{
    uLong crc = crc32(0, nullptr, 0);
    auto take = [&](const char *bytes, qint64 size) {
        *written += size;
        crc = crc32(crc, reinterpret_cast<const Bytef *>(bytes), uInt(size));
        // The beginning, cut at the cap: a member's first bytes say what it is.
        if (kept && kept->size() < keepCap)
            kept->append(bytes, std::min(size, keepCap - kept->size()));
    };
    if (member.method == 0) {
        if (member.packed != member.unpacked)
            return ZipVerdict::Corrupt;
        if (*written + member.unpacked > budget)
            return ZipVerdict::TooLarge;
        take(data.data(), data.size());
    } else {
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return ZipVerdict::Corrupt;
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
        stream.avail_in = uInt(data.size());
        std::array<char, 64 * 1024> out{};
        int status = Z_OK;
        while (status == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef *>(out.data());
            stream.avail_out = uInt(out.size());
            status = inflate(&stream, Z_NO_FLUSH);
            const qint64 produced = qint64(out.size()) - stream.avail_out;
            take(out.data(), produced);
            // More than the directory says, or than the cap allows: stop now.
            if (*written > budget || stream.total_out > member.unpacked) {
                inflateEnd(&stream);
                return *written > budget ? ZipVerdict::TooLarge : ZipVerdict::Corrupt;
            }
            if (status == Z_BUF_ERROR || (status == Z_OK && produced == 0 && stream.avail_in == 0))
                break;
        }
        inflateEnd(&stream);
        if (status != Z_STREAM_END)
            return ZipVerdict::Corrupt;
    }
    if (quint32(crc) != member.crc)
        return ZipVerdict::Corrupt;
    return ZipVerdict::Sound;
}

ZipEntry EntryOf(const Member &member)
{
    return {member.name, member.rawName, member.madeBy, member.external};
}

// Both readers: with visit, every member is unpacked whole and handed over
// in directory order, then let go.
ZipReport Read(QByteArrayView zip, const ZipKeep &keep, ZipLimits limits, const ZipVisit &visit)
{
    ZipReport report;
    // The end record lies in the last 22 bytes plus at most a 64 KiB comment.
    qsizetype end = -1;
    for (qsizetype at = zip.size() - kEndSize; at >= 0 && at >= zip.size() - kEndSize - 65535;
         --at) {
        if (U32(zip, at) == kEndSignature) {
            end = at;
            break;
        }
    }
    if (end < 0) {
        // A zip's first member still says what it is, even cut off.
        report.verdict = zip.size() >= 4 && U32(zip, 0) == kLocalSignature ? ZipVerdict::Corrupt
                                                                           : ZipVerdict::NotZip;
        return report;
    }
    const quint16 count = U16(zip, end + 10);
    const quint32 directorySize = U32(zip, end + 12);
    const quint32 directoryAt = U32(zip, end + 16);
    if (count == 0xffff || directoryAt == 0xffffffff) {
        report.verdict = ZipVerdict::Unsupported;
        return report;
    }
    if (qint64(directoryAt) + directorySize > end) {
        report.verdict = ZipVerdict::Corrupt;
        return report;
    }
    if (count > limits.maxMembers) {
        report.verdict = ZipVerdict::TooLarge;
        return report;
    }
    QList<Member> members;
    qint64 declared = 0;
    qsizetype at = directoryAt;
    for (int i = 0; i < count; ++i) {
        if (at + kCentralSize > end || U32(zip, at) != kCentralSignature) {
            report.verdict = ZipVerdict::Corrupt;
            return report;
        }
        Member member;
        member.madeBy = U16(zip, at + 4);
        member.flags = U16(zip, at + 8);
        member.method = U16(zip, at + 10);
        member.crc = U32(zip, at + 16);
        member.packed = U32(zip, at + 20);
        member.unpacked = U32(zip, at + 24);
        const quint16 nameLength = U16(zip, at + 28);
        const qsizetype rest = qsizetype(nameLength) + U16(zip, at + 30) + U16(zip, at + 32);
        member.external = U32(zip, at + 38);
        member.localOffset = U32(zip, at + 42);
        if (at + kCentralSize + rest > end) {
            report.verdict = ZipVerdict::Corrupt;
            return report;
        }
        member.rawName = zip.sliced(at + kCentralSize, nameLength).toByteArray();
        member.name = QString::fromUtf8(member.rawName);
        at += kCentralSize + rest;
        if (member.packed == 0xffffffff || member.unpacked == 0xffffffff ||
            member.localOffset == 0xffffffff) {
            report.verdict = ZipVerdict::Unsupported;
            return report;
        }
        declared += member.unpacked;
        members.append(member);
        report.names.append(member.name);
    }
    if (declared > limits.maxUnpacked) {
        report.verdict = ZipVerdict::TooLarge;
        return report;
    }
    for (const Member &member : members)
        if (member.flags & 1) {
            report.verdict = ZipVerdict::Encrypted;
            return report;
        }
    for (const Member &member : members) {
        if (member.method != 0 && member.method != 8) {
            report.verdict = ZipVerdict::Unsupported;
            return report;
        }
        const qsizetype local = member.localOffset;
        if (local + kLocalSize > zip.size() || U32(zip, local) != kLocalSignature) {
            report.verdict = ZipVerdict::Corrupt;
            return report;
        }
        const qsizetype dataAt = local + kLocalSize + U16(zip, local + 26) + U16(zip, local + 28);
        if (dataAt + qsizetype(member.packed) > zip.size()) {
            report.verdict = ZipVerdict::Corrupt;
            return report;
        }
        QByteArray kept;
        const bool wanted = visit || (keep && keep(member.name));
        const ZipVerdict verdict = Unpack(
            zip.sliced(dataAt, member.packed), member, limits.maxUnpacked, &report.unpackedBytes,
            wanted ? &kept : nullptr, visit ? limits.maxUnpacked : kMaxKeptMember);
        if (verdict != ZipVerdict::Sound) {
            report.verdict = verdict;
            return report;
        }
        if (visit && !visit(EntryOf(member), kept)) {
            report.verdict = ZipVerdict::Refused;
            return report;
        }
        if (wanted && !visit)
            report.keptMembers.insert(member.name, kept);
    }
    // OpenDocument enciphers its members with its own scheme and says so here.
    if (report.keptMembers.value(QStringLiteral("META-INF/manifest.xml"))
            .contains("encryption-data")) {
        report.verdict = ZipVerdict::Encrypted;
        return report;
    }
    report.verdict = ZipVerdict::Sound;
    return report;
}

}  // namespace

ZipReport InspectZip(QByteArrayView zip, const ZipKeep &keep, ZipLimits limits)
{
    return Read(zip, keep, limits, {});
}

ZipVerdict UnpackZip(QByteArrayView zip, const ZipVisit &visit, ZipLimits limits)
{
    return Read(zip, {}, limits, visit).verdict;
}

bool ZipEntry::isDirectory() const
{
    return name.endsWith(u'/') || (external & 0x10) != 0 || (unixMode() & 0170000) == 0040000;
}

bool ZipEntry::isSpecial() const
{
    // A link, a device, a pipe or a socket: anything but a file or a folder.
    const quint32 type = unixMode() & 0170000;
    return type != 0 && type != 0100000 && type != 0040000;
}

}  // namespace verz
