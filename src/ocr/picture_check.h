#pragma once

#include <cstddef>
#include <cstdint>

namespace verz {

// What a picture may be before any pixel of it is decoded: its head alone
// says its format and size, so a 20000 × 20000 picture or a decompression
// bomb (a few kilobytes claiming gigapixels) is refused for the price of
// reading a few bytes.
struct PictureLimits {
    int maxSide = 12000;                     // pixels, either way
    std::int64_t maxPixels = 40'000'000;     // a 300 dpi A3 page is 17.5 million
    std::int64_t maxFileBytes = 50LL << 20;  // a picture file read whole
};

enum class PictureVerdict { Accepted, NotAPicture, UnsupportedFormat, TooLarge };

struct PictureHead {
    PictureVerdict verdict = PictureVerdict::NotAPicture;
    int width = 0;
    int height = 0;
};

// PNG, JPEG and TIFF are accepted; anything else leptonica knows is not.
PictureHead CheckPicture(const std::uint8_t *bytes, std::size_t size, const PictureLimits &limits);

}  // namespace verz
