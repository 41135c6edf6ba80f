#include "assets_init.h"

#include <QDir>
#include <QtCore/qglobal.h>

void VerzInitAssets()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(assets);
        return true;
    }();
    (void)done;
}
