#include "shape/window_region.h"

#include <QWidget>

namespace verz {

std::vector<RunRect> RegionFromImage(const QImage &picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    return RegionFromPicture(rgb.width(), rgb.height(), [&rgb](int x, int y) -> std::uint32_t {
        const QRgb c = rgb.pixel(x, y);
        return static_cast<std::uint32_t>(qRed(c)) | static_cast<std::uint32_t>(qGreen(c)) << 8 |
               static_cast<std::uint32_t>(qBlue(c)) << 16;
    });
}

QRegion UnionOfRuns(const std::vector<RunRect> &runs)
{
    QRegion region;
    for (const RunRect &r : runs)
        region += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    return region;
}

void ApplyWindowRegion(QWidget &window, const std::vector<RunRect> &runs)
{
    if (runs.empty()) {
        window.clearMask();
        return;
    }
    window.setMask(UnionOfRuns(runs));
}

}  // namespace verz
