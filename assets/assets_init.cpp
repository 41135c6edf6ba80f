#include "assets_init.h"

#include <QtCore/qglobal.h>
#include <QDir>

void VerzInitAssets()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(assets);
        return true;
    }();
    (void)done;
}
