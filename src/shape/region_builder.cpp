#include "shape/region_builder.h"

namespace verz {

std::vector<RunRect> RegionFromPicture(int width, int height, const PixelReader &pixelAt)
{
    std::vector<RunRect> runs;
    for (int y = 0; y < height; ++y) {
        bool inRun = false;
        int runStart = 0;
        for (int x = 0; x < width; ++x) {
            const bool key = pixelAt(x, y) == kKeyColour;
            if (key && inRun) {
                runs.push_back({runStart, y, x, y + 1});
                inRun = false;
            } else if (!key && !inRun) {
                inRun = true;
                runStart = x;
            }
        }
        if (inRun)
            runs.push_back({runStart, y, width, y + 1});
    }
    return runs;
}

}  // namespace verz
