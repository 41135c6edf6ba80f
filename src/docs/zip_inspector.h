#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QStringList>

#include <functional>

namespace verz {

enum class ZipVerdict {
    Sound,
    NotZip,      // no end of central directory: not a zip at all
    Corrupt,     // a directory or a member that does not read, a wrong checksum, cut off
    TooLarge,    // declared or actual unpacked size past the cap, too many members
    Encrypted,   // a member enciphered (zip encryption or OpenDocument's)
    Unsupported  // zip64 or a compression other than stored and deflate
};

struct ZipReport {
    ZipVerdict verdict = ZipVerdict::NotZip;
    QStringList names;
    qint64 unpackedBytes = 0;
    // The contents of the small members that say what the document is.
    QHash<QString, QByteArray> small;
};

struct ZipLimits {
    qint64 maxUnpacked = 256LL * 1024 * 1024;
    int maxMembers = 10000;
};

// Reads a zip's central directory, then unpacks every member into nothing,
// counting, so neither a lying directory nor a bomb costs more than the cap in
// time or memory. The members keep picks are kept, their first MiB at most.
using ZipKeep = std::function<bool(const QString &name)>;
inline constexpr qint64 kMaxKeptMember = 1024 * 1024;
ZipReport InspectZip(QByteArrayView zip, const ZipKeep &keep, ZipLimits limits = {});

}  // namespace verz
