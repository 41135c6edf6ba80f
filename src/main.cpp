#include "window/indicator_style.h"
#include "window/verz.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setStyle(new verz::IndicatorStyle);
    verz::Verz window;  // shows itself once built
    return app.exec();
}
