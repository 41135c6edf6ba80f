#include "asset_bytes.h"

#include <QFile>

namespace verz::test {

QByteArray committedAsset(const char *name)
{
    QFile file(QStringLiteral(VERZ_ASSETS_DIR "/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QImage committedImage(const char *name)
{
    QImage image;
    image.loadFromData(committedAsset(name));
    return image.convertToFormat(QImage::Format_ARGB32);
}

std::uint32_t le16(const QByteArray &bytes, int at)
{
    return static_cast<std::uint8_t>(bytes[at]) |
           (std::uint32_t{static_cast<std::uint8_t>(bytes[at + 1])} << 8);
}

std::uint32_t le32(const QByteArray &bytes, int at)
{
    return le16(bytes, at) | (le16(bytes, at + 2) << 16);
}

}  // namespace verz::test
