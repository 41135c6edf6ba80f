#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace verz {

// The colour that marks pixels outside the window: pure red, 0x00BBGGRR.
inline constexpr std::uint32_t kKeyColour = 0x000000FF;

// One run of opaque pixels on one row; left and top inclusive, right and
// bottom exclusive, in pixels from the picture's top-left corner.
struct RunRect {
    int left;
    int top;
    int right;
    int bottom;
    friend bool operator==(const RunRect &, const RunRect &) = default;
};

// Colour of the pixel at (x, y) as 0x00BBGGRR.
using PixelReader = std::function<std::uint32_t(int x, int y)>;

// The runs of non-key pixels, top row first, left to right within a row.
// Empty when W or H is 0 or less, or when every pixel is the key colour.
// Any callable (x, y) -> 0x00BBGGRR reads the pixels; the skin is read once per
// start, so the reader is inlined rather than called through std::function.
template <class Reader> std::vector<RunRect> RunsOfPicture(int width, int height, Reader &&pixelAt)
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

std::vector<RunRect> RegionFromPicture(int width, int height, const PixelReader &pixelAt);

}  // namespace verz
