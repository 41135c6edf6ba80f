#include "shape/window_region.h"

#include <QWidget>

namespace verz {

std::vector<RunRect> RegionFromImage(const QImage &picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    // Straight from the pixel memory: 0xffRRGGBB words, turned into 0x00BBGGRR.
    const uchar *const bits = rgb.constBits();
    const qsizetype bytesPerLine = rgb.bytesPerLine();
    return RunsOfPicture(rgb.width(), rgb.height(), [=](int x, int y) -> std::uint32_t {
        const QRgb c = reinterpret_cast<const QRgb *>(bits + y * bytesPerLine)[x];
        return static_cast<std::uint32_t>(qRed(c)) | static_cast<std::uint32_t>(qGreen(c)) << 8 |
               static_cast<std::uint32_t>(qBlue(c)) << 16;
    });
}

QRegion UnionOfRuns(const std::vector<RunRect> &runs)
{
    // Rows whose runs are the same as the row above's grow that band instead
    // of adding one: the region comes out in QRegion's own banded form, handed
    // over at once rather than merged one rectangle at a time.
    std::vector<QRect> bands;
    std::size_t bandStart = 0;  // first rectangle of the last band
    for (std::size_t i = 0; i < runs.size();) {
        std::size_t rowEnd = i;
        while (rowEnd < runs.size() && runs[rowEnd].top == runs[i].top)
            ++rowEnd;
        const std::size_t bandSize = bands.size() - bandStart;
        bool extends =
            bandSize == rowEnd - i && bandSize > 0 && bands[bandStart].bottom() + 1 == runs[i].top;
        for (std::size_t k = 0; extends && k < bandSize; ++k)
            extends = bands[bandStart + k].left() == runs[i + k].left &&
                      bands[bandStart + k].right() + 1 == runs[i + k].right;
        if (extends) {
            for (std::size_t k = 0; k < bandSize; ++k)
                bands[bandStart + k].setBottom(runs[i].bottom - 1);
        } else {
            bandStart = bands.size();
            for (std::size_t k = i; k < rowEnd; ++k)
                bands.emplace_back(runs[k].left, runs[k].top, runs[k].right - runs[k].left,
                                   runs[k].bottom - runs[k].top);
        }
        i = rowEnd;
    }
    QRegion region;
    region.setRects(bands.data(), static_cast<int>(bands.size()));
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
