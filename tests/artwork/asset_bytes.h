#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>

namespace verz::test {

// The committed file `name` from the assets folder, whole.
QByteArray committedAsset(const char *name);
// The same file decoded by Qt, as 32-bit ARGB.
QImage committedImage(const char *name);

std::uint32_t le16(const QByteArray &bytes, int at);
std::uint32_t le32(const QByteArray &bytes, int at);

}  // namespace verz::test
