#include "cli/cli_main.h"
#include "common/termination_signals.h"
#include "window/font_warmup.h"
#include "window/indicator_style.h"
#include "window/verz.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Chosen before any application object exists: with arguments only a core
    // application is made, so the command line needs no display and no
    // platform plugin (ssh, scripts, CI).
    if (verz::WantsCommandLine(argc))
        return verz::CommandLineMain(argc, argv);
    // Meanwhile the application connects to the display.
    const std::future<void> fonts = verz::StartLoadingFontConfiguration();
    QApplication app(argc, argv);
    app.setStyle(new verz::IndicatorStyle);
    verz::Verz window;  // shows itself once built
    // A logout or a kill closes the window as "Quitter" does: the scratch file goes.
    verz::HandleTerminationSignals([&window](int) { window.Label1_Click(); });
    return app.exec();
}
