#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace verz {

// A zip member's deflate stream: raw, with no zlib header.
QByteArray RawDeflate(QByteArrayView data);

// Writes a plain zip in memory, member after member: no zip64, no
// encryption, no extra fields, no attributes beyond a regular file's, so
// whatever unpacks it finds files and nothing else.
class ZipPacker {
public:
    // stored: kept as is (what OpenDocument demands of its `mimetype`).
    void add(QByteArrayView name, QByteArrayView content, bool stored = false);
    // The archive with its central directory; the packer is empty after.
    QByteArray finish();

private:
    QByteArray body_;
    QByteArray directory_;
    int count_ = 0;
};

}  // namespace verz
