#pragma once

#include "raster.h"

#include <string>

namespace verz::art {

// The window face: 750 x 400, pure red where the window is cut away.
Canvas DrawSkin();
// First opaque column and the column after the last opaque one, per skin row.
int SkinRowLeft(int row);
int SkinRowRight(int row);

Canvas DrawGlobe();
Canvas DrawUpArrow();
Canvas DrawServiceLogo();

// code: "fr", "en", "es", "de", "pt" or "it".
Canvas DrawFlag(const std::string &code);

}  // namespace verz::art
