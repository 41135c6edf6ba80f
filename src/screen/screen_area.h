#pragma once

#include "cli/picture_command.h"
#include "ocr/picture_check.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>

namespace verz {

struct CommandLine;

// A click, or a slip of the pointer, is no rectangle to read.
inline constexpr int kMinAreaSide = 6;

// The rectangle between the pointer's press and release, whichever corner
// came first, both corners inside, cut to bounds; empty when narrower or
// lower than kMinAreaSide.
QRect AreaBetween(QPoint press, QPoint release, const QRect &bounds);

// The area of a screen picture (area in the picture's logical pixels, as the
// pointer gives them) ready for reading: cut out and enlarged so that letters
// of a screen's size come near the size the reader knows best, never past
// limits; PNG bytes, empty for an area outside the picture.
QByteArray AreaPicture(const QImage &screen, const QRect &area, const PictureLimits &limits = {});

// A whole picture (the desktop's screenshot) made ready the same way.
QByteArray EnlargedPicture(const QImage &picture, const PictureLimits &limits = {});

// The text of such a picture, read as --ocr reads a file with line's pair.
PictureText ReadAreaText(const QByteArray &png, const CommandLine &line);

}  // namespace verz
