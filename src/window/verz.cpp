#include "window/verz.h"

#include "assets_init.h"

namespace verz {

Verz::Verz(QWidget *parent) : QWidget(parent, Qt::FramelessWindowHint)
{
    VerzInitAssets();
    setWindowTitle(QStringLiteral("Verzolan"));
    resize(750, 400);
}

}  // namespace verz
