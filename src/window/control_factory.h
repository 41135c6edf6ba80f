#pragma once

#include "window/control_table.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

class QWidget;

namespace verz {

QColor ColourFromBgr(std::uint32_t bgr);
QFont FontFor(const FontEntry &entry);

// One of the compiled-in pictures, read by the format its name ends in.
// Left to guess, Qt first loads every image plugin to ask whether it reads
// the format, and only then falls back on its own bitmap reader.
QImage ReadPicture(const QString &path);

// The widget of one table entry (element INDEX of a control array), with its
// texts, colours, font and flags set, also stored in the entry's typed slot of
// WIDGETS; geometry is the Control's business.
QWidget *CreateControlWidget(const ControlEntry &entry, int index, QWidget *parent,
                             FormWidgets &widgets);

}  // namespace verz
