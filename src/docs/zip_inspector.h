#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QStringList>

#include <functional>

namespace verz {

enum class ZipVerdict {
    Sound,
    NotZip,       // no end of central directory: not a zip at all
    Corrupt,      // a directory or a member that does not read, a wrong checksum, cut off
    TooLarge,     // declared or actual unpacked size past the cap, too many members
    Encrypted,    // a member enciphered (zip encryption or OpenDocument's)
    Unsupported,  // zip64 or a compression other than stored and deflate
    Refused       // UnpackZip's visitor stopped at a member
};

struct ZipReport {
    ZipVerdict verdict = ZipVerdict::NotZip;
    QStringList names;
    qint64 unpackedBytes = 0;
    // The members the caller's keep picked (those that say what the document
    // is), by name: their first kMaxKeptMember bytes.
    QHash<QString, QByteArray> keptMembers;
};

struct ZipLimits {
    qint64 maxUnpacked = 256LL * 1024 * 1024;
    int maxMembers = 10000;
};

// What a visitor is told of one member: its name, and the host's attributes
// that say whether it is a file, a folder or something else.
struct ZipEntry {
    QString name;
    QByteArray rawName;  // as stored: the name may not be UTF-8 at all
    quint16 madeBy = 0;
    quint32 external = 0;  // the host's attributes: a Unix mode in the high half
    quint32 unixMode() const { return external >> 16; }
    bool isDirectory() const;
    bool isSpecial() const;
};

// Reads a zip's central directory, then unpacks every member into nothing,
// counting, so neither a lying directory nor a bomb costs more than the cap in
// time or memory. The members keep picks are kept, their first MiB at most.
using ZipKeep = std::function<bool(const QString &name)>;
inline constexpr qint64 kMaxKeptMember = 1024 * 1024;
ZipReport InspectZip(QByteArrayView zip, const ZipKeep &keep, ZipLimits limits = {});

// The same checks, handing every member whole to visit in directory order,
// one at a time (so memory holds one member, never the whole unpacked
// archive); visit returns false to stop there (Refused).
using ZipVisit = std::function<bool(const ZipEntry &entry, const QByteArray &content)>;
ZipVerdict UnpackZip(QByteArrayView zip, const ZipVisit &visit, ZipLimits limits = {});

}  // namespace verz
