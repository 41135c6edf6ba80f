#pragma once

#include <QImage>

class QWidget;

namespace verz {

// Where windows are composed by their pixels' alpha (Wayland), a window
// mask clips input only: the outline has to be painted. True there.
bool OutlineNeedsAlpha();

// The skin with every pixel of the key colour (pure red) fully transparent,
// premultiplied; every other pixel as it was, opaque.
QImage WithKeyColourClear(const QImage &skin);

// Makes the window translucent, so that what it leaves unpainted shows what
// lies behind it. Before the window is first shown.
void MakeTranslucent(QWidget &window);

// Hands the window's mask to the compositor again as its input region: a
// Wayland surface made when the window is shown does not inherit a mask set
// before, nor one set before the window was last hidden.
void RenewInputRegion(QWidget &window);

}  // namespace verz
