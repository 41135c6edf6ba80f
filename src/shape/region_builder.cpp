#include "shape/region_builder.h"

namespace verz {

std::vector<RunRect> RegionFromPicture(int width, int height, const PixelReader &pixelAt)
{
    return RunsOfPicture(width, height, pixelAt);
}

}  // namespace verz
