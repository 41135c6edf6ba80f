#include "window/twips.h"

#include <cmath>

namespace verz {

int TwipsLayer::toPixels(float twips) const
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / twipsPerPixel_));
}

float TwipsLayer::toTwips(int pixels) const
{
    return static_cast<float>(pixels) * twipsPerPixel_;
}

QRect TwipsLayer::toPixels(float left, float top, float width, float height) const
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

}  // namespace verz
