#pragma once

namespace verz {

// Twips per pixel of a screen with the given logical dots per inch
// (1440 twips make an inch): 15 at 96 dpi, 12 at 120 dpi.
float TwipsPerPixel(double logicalDpi);

// The controls' rescaling factor: twips per pixel / 15, single precision.
float DeltaPixFor(float twipsPerPixel);

}  // namespace verz
