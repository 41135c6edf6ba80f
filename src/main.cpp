#include "platform/termination_signals.h"
#include "window/indicator_style.h"
#include "window/verz.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setStyle(new verz::IndicatorStyle);
    verz::Verz window;  // shows itself once built
    // A logout or a kill closes the window as "Quitter" does: the scratch file goes.
    verz::HandleTerminationSignals([&window](int) { window.Label1_Click(); });
    return app.exec();
}
