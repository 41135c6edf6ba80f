#pragma once

#include "shape/region_builder.h"

#include <QImage>
#include <QRegion>

class QWidget;

namespace verz {

// Reads a picture's own pixels (never the screen) as 0x00BBGGRR.
std::vector<RunRect> RegionFromImage(const QImage &picture);

QRegion UnionOfRuns(const std::vector<RunRect> &runs);

// Clips the window to the union of the runs, for drawing and for input.
// No runs leave the window unclipped.
void ApplyWindowRegion(QWidget &window, const std::vector<RunRect> &runs);

}  // namespace verz
