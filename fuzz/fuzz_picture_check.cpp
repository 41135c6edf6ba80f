// Arbitrary bytes as a picture's head: the check runs in the program itself,
// before any bounded child, so it must never crash nor read past the bytes,
// and whatever it accepts is a picture of a size the limits allow.
#include "ocr/picture_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    verz::PictureLimits limits;
    limits.maxSide = 4000;
    limits.maxPixels = 4'000'000;
    const verz::PictureHead head = verz::CheckPicture(data, size, limits);
    if (head.verdict == verz::PictureVerdict::Accepted &&
        (head.width <= 0 || head.height <= 0 || head.width > limits.maxSide ||
         head.height > limits.maxSide || std::int64_t{head.width} * head.height > limits.maxPixels))
        std::abort();
    return 0;
}
