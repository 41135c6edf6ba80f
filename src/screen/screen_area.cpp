#include "screen/screen_area.h"

#include "cli/command_line.h"
#include "ocr/bounded_ocr.h"

#include <QBuffer>

#include <algorithm>

namespace verz {

namespace {

// Screen letters are 10 to 16 pixels high; the reader does best near 30.
constexpr int kLargestEnlargement = 3;

int EnlargementWithin(QSize size, const PictureLimits &limits)
{
    for (int factor = kLargestEnlargement; factor > 1; --factor) {
        const std::int64_t width = std::int64_t{size.width()} * factor;
        const std::int64_t height = std::int64_t{size.height()} * factor;
        if (width <= limits.maxSide && height <= limits.maxSide &&
            width * height <= limits.maxPixels)
            return factor;
    }
    return 1;
}

QByteArray Png(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

QRect AreaBetween(QPoint press, QPoint release, const QRect &bounds)
{
    const QRect area =
        QRect(QPoint(std::min(press.x(), release.x()), std::min(press.y(), release.y())),
              QPoint(std::max(press.x(), release.x()), std::max(press.y(), release.y())))
            .intersected(bounds);
    if (area.width() < kMinAreaSide || area.height() < kMinAreaSide)
        return {};
    return area;
}

QByteArray EnlargedPicture(const QImage &picture, const PictureLimits &limits)
{
    if (picture.isNull())
        return {};
    const int factor = EnlargementWithin(picture.size(), limits);
    QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    if (factor > 1)
        gray = gray.scaled(gray.size() * factor, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return Png(gray);
}

QByteArray AreaPicture(const QImage &screen, const QRect &area, const PictureLimits &limits)
{
    // A screen of a higher density holds more pixels than the pointer's
    // coordinates count.
    const qreal ratio = screen.devicePixelRatio();
    const QRect pixels = QRect(QPoint(qRound(area.x() * ratio), qRound(area.y() * ratio)),
                               QSize(qRound(area.width() * ratio), qRound(area.height() * ratio)))
                             .intersected(screen.rect());
    if (area.isEmpty() || pixels.isEmpty())
        return {};
    return EnlargedPicture(screen.copy(pixels), limits);
}

PictureText ReadAreaText(const QByteArray &png, const CommandLine &line)
{
    return ReadPictureText(
        [&png](const QString &language) { return ReadTextInPicture(png, language); }, line);
}

}  // namespace verz
