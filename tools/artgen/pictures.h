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
// The same globe for the desktop's icon theme, drawn at size pixels with a
// real alpha channel.
RgbaImage DrawGlobeIcon(int size);
// The same globe as scalable vector graphics, for any other size.
std::string DrawGlobeSvg();
// The sizes the desktops ask the icon theme for.
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
Canvas DrawUpArrow();
Canvas DrawServiceLogo();

// code: "fr", "en", "es", "de", "pt" or "it".
Canvas DrawFlag(const std::string &code);

}  // namespace verz::art
