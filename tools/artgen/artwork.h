#pragma once

#include "encoders.h"

#include <string>
#include <vector>

namespace verz::art {

struct ArtFile {
    std::string name;
    Bytes bytes;
};

// Every picture the program embeds, encoded, in a fixed order.
std::vector<ArtFile> DrawArtwork();

// Writes DrawArtwork() into `directory`; false, with `error` set, on failure.
bool WriteArtwork(const std::string &directory, std::string &error);

}  // namespace verz::art
