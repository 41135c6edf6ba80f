#pragma once

#include <QRect>

namespace verz {

// The one place where control units meet screen pixels: the controls keep
// their geometry in twips, the widgets want whole pixels.
class TwipsLayer {
public:
    explicit TwipsLayer(float twipsPerPixel = 15.0f) : twipsPerPixel_(twipsPerPixel) {}

    float twipsPerPixel() const { return twipsPerPixel_; }
    // Rounded to the nearest pixel (1044 twips at 15 per pixel: 69.6 -> 70).
    int toPixels(float twips) const;
    float toTwips(int pixels) const;
    QRect toPixels(float left, float top, float width, float height) const;

private:
    float twipsPerPixel_;
};

}  // namespace verz
