#include "shape/screen_scale.h"

namespace verz {

float TwipsPerPixel(double logicalDpi)
{
    if (logicalDpi <= 0.0)
        return 15.0f;
    return static_cast<float>(1440.0 / logicalDpi);
}

float DeltaPixFor(float twipsPerPixel)
{
    return twipsPerPixel / 15.0f;
}

}  // namespace verz
