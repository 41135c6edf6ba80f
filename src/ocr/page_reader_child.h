#pragma once

#include "ocr/picture_check.h"

#include <string>

namespace verz {

// What the reading child reports, as its first byte on the pipe.
enum class PageReadStatus : unsigned char {
    Read = 0,
    NoText = 1,
    NotAPicture = 2,
    UnsupportedFormat = 3,
    TooLarge = 4,
    NoLanguageData = 5,
    Undecodable = 6,
    OutOfTime = 7,
    OutOfMemory = 8,
};

// Decodes the picture and reads its text with Tesseract in language (its
// codes, "fra", "deu+eng"), stopping recognition after deadlineMs. Plain C++
// with no Qt, so it can run in a forked child. The text keeps the picture's
// lines, paragraphs parted by an empty line.
PageReadStatus ReadPageText(const std::uint8_t *bytes, std::size_t size, const char *language,
                            int deadlineMs, const PictureLimits &limits, std::string *text);

}  // namespace verz
