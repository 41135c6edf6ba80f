#pragma once

#include "raster.h"

#include <cstdint>
#include <vector>

namespace verz::art {

using Bytes = std::vector<std::uint8_t>;

// Windows bitmap, 24 bits per pixel, bottom-up, rows padded to 4 bytes.
Bytes encodeBmp24(const Canvas &canvas);

// Icon file holding one 8-bit image with a 256-entry palette and a one-bit
// AND mask taken from the canvas's painted flags.
Bytes encodeIco8(const Canvas &canvas);

// GIF87a: one image, a 256-entry global table, no extension blocks.
Bytes encodeGif87a(const Canvas &canvas);

// PNG, 8-bit RGBA, not interlaced; the image data in stored (uncompressed)
// deflate blocks, so the bytes depend on nothing but the picture.
Bytes encodePng(const RgbaImage &image);

// A palette of exactly 256 entries starting with `first`, and each pixel's index.
// Colours beyond 256 are mapped to the nearest entry.
struct Indexed {
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> indices;
};
Indexed indexColours(const Canvas &canvas, Rgb first);

// The LZW stream of a GIF image (without the minimum code size byte and the
// sub-block framing), 8-bit codes.
Bytes lzwCompress(const std::vector<std::uint8_t> &indices);

}  // namespace verz::art
