#include "shape/alpha_outline.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace verz {

bool OutlineNeedsAlpha()
{
    return QGuiApplication::platformName().startsWith(u"wayland");
}

QImage WithKeyColourClear(const QImage &skin)
{
    QImage clear = skin.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < clear.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(clear.scanLine(y));
        for (int x = 0; x < clear.width(); ++x) {
            // The same test as the region's: only exactly pure red is cut.
            if ((row[x] & 0x00ffffffU) == 0x00ff0000U)
                row[x] = 0;
            else
                row[x] |= 0xff000000U;
        }
    }
    return clear;
}

void MakeTranslucent(QWidget &window)
{
    window.setAttribute(Qt::WA_TranslucentBackground);
}

void RenewInputRegion(QWidget &window)
{
    QWindow *handle = window.windowHandle();
    if (handle == nullptr || !OutlineNeedsAlpha())
        return;
    // The platform skips a region equal to the one it last had.
    handle->setMask(QRegion());
    handle->setMask(window.mask());
}

}  // namespace verz
