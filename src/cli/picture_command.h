#pragma once

#include "cli/line_translator.h"

#include <functional>
#include <iosfwd>

namespace verz {

struct CommandLine;

// --ocr IMAGE [--pair CODE|auto] and --ocr-only IMAGE: the text of the
// picture read in the pair's source language (with auto, the language
// detected from a first reading in English, read again in it), printed as
// read or translated line by line, the picture's lines and paragraphs kept.
// Exit statuses: 0, 1 service unreachable, 2 a file that is no picture or a
// pair the twelve lack, 3 no text in the picture.
int ReadPictureCommand(const CommandLine &line, const std::function<ServiceAccess()> &service,
                       std::ostream &out, std::ostream &err);

}  // namespace verz
