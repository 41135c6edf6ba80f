// Writes the window's icon as a PNG for the desktop's icon theme.
#include "assets_init.h"

#include <QCoreApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon2png OUT.png\n");
        return 2;
    }
    VerzInitAssets();
    const QImage icon(QStringLiteral(":/assets/globe.ico"));
    if (icon.isNull() || !icon.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "icon2png: cannot convert the icon\n");
        return 1;
    }
    return 0;
}
