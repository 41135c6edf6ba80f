#include "window/verz.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    verz::Verz window;
    window.show();
    return app.exec();
}
