#pragma once

#include "window/control_table.h"

#include <QColor>
#include <QFont>

class QWidget;

namespace verz {

QColor ColourFromBgr(std::uint32_t bgr);
QFont FontFor(const FontEntry &entry);

// The widget of one table entry, with its texts, colours, font and flags set;
// geometry is the Control's business.
QWidget *CreateControlWidget(const ControlEntry &entry, QWidget *parent);

}  // namespace verz
