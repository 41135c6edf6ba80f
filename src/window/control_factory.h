#pragma once

#include "window/control_table.h"

#include <QColor>
#include <QFont>

class QWidget;

namespace verz {

QColor ColourFromBgr(std::uint32_t bgr);
QFont FontFor(const FontSpec &spec);

// The widget of one table entry, with its texts, colours, font and flags set;
// geometry is the Control's business.
QWidget *CreateControlWidget(const ControlSpec &spec, QWidget *parent);

}  // namespace verz
