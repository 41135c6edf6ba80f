#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

namespace verz {

// Writes a zip again with some members changed: edit is called with the
// name and unpacked bytes of each member wanted picks (unpacked within
// maxUnpacked in all) and returns its new bytes; the other members are copied
// packed as they are, in the same order (an OpenDocument's stored `mimetype`
// stays first). nullopt when the zip does not read (zip64, another method,
// a member past the cap or with a wrong checksum): the caller keeps the zip as it came.
using ZipWanted = std::function<bool(const QString &name)>;
using ZipEdit = std::function<QByteArray(const QString &name, const QByteArray &bytes)>;
std::optional<QByteArray> RewriteZip(QByteArrayView zip, const ZipWanted &wanted,
                                     const ZipEdit &edit, qint64 maxUnpacked = 256LL * 1024 * 1024);

}  // namespace verz
