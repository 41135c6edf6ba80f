#pragma once

#include "cli/line_translator.h"
#include "ocr/bounded_ocr.h"

#include <functional>
#include <iosfwd>

namespace verz {

struct CommandLine;

// One bounded reading of the picture in a language of Tesseract's ("fra").
using PictureReader = std::function<OcrResult(const QString &language)>;

// The text of a picture read in the source language of line's pair; with
// auto, read first in English, its language detected, and read again in it.
struct PictureText {
    OcrResult read;
    QString source;         // the language code of the text, "" if unknown
    QString firstLanguage;  // Tesseract's, of the first reading
};
PictureText ReadPictureText(const PictureReader &read, const CommandLine &line);

// --ocr IMAGE [--pair CODE|auto] and --ocr-only IMAGE: the text of the
// picture read in the pair's source language (with auto, the language
// detected from a first reading in English, read again in it), printed as
// read or translated line by line, the picture's lines and paragraphs kept.
// Exit statuses: 0, 1 service unreachable, 2 a file that is no picture or a
// pair the twelve lack, 3 no text in the picture.
int ReadPictureCommand(const CommandLine &line, const std::function<ServiceAccess()> &service,
                       std::ostream &out, std::ostream &err);

}  // namespace verz
