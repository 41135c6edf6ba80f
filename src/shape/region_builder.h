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
std::vector<RunRect> RegionFromPicture(int width, int height, const PixelReader &pixelAt);

}  // namespace verz
