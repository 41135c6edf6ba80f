#include "cli/cli_main.h"
#include "cli/command_line.h"
#include "common/termination_signals.h"
#include "screen/screen_text_command.h"
#include "selection/selection_command.h"
#include "selection/selection_relay.h"
#include "selection/selection_sources.h"
#include "selection/window_activation.h"
#include "widgets/indicator_style.h"
#include "window/font_warmup.h"
#include "window/verz.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <optional>

namespace {

QStringList ArgumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int at = 1; at < argc; ++at)
        arguments.append(QString::fromLocal8Bit(argv[at]));
    return arguments;
}

// The window, and what it hears from other programs. With a selection it
// translates that text once shown.
int WindowMain(QApplication &app, std::optional<verz::SelectionHandOver> selection)
{
    app.setStyle(new verz::IndicatorStyle);
    verz::Verz window;  // shows itself once built
    // A logout or a kill closes the window as "Quitter" does: the scratch file goes.
    verz::HandleTerminationSignals([&window](int) { window.Label1_Click(); });
    const verz::SelectionReceiver receiver = [&window](const QString &text, int row) {
        window.TranslateSelection(text, row);
    };
    // Before the bus name is asked for, so a command that finds the name finds this too.
    verz::SelectionRelayEndpoint relay(receiver);
    relay.publish();
    const verz::SelectionSources sources(receiver, [&window](const QString &token) {
        // Handed on to the compositor by the next activation request.
        if (!token.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
        window.ComeToFront();
    });
    if (selection && selection->takeOnceFocused) {
        verz::TakeSelectionForNewWindow(receiver, selection->pairRow);
    } else if (selection) {
        QTimer::singleShot(0, &window, [&window, taken = *selection] {
            window.TranslateSelection(taken.text, taken.pairRow);
        });
    }
    return app.exec();
}

// A command's hand-over: its own exit when no window is needed, else a new
// window that translates the text once shown. Only a new window needs the
// fonts, loaded while it starts.
int WindowIfNeeded(QApplication &app, verz::SelectionHandOver handOver)
{
    if (!handOver.windowNeeded)
        return handOver.exitStatus;
    const std::future<void> fonts = verz::StartLoadingFontConfiguration();
    return WindowMain(app, std::move(handOver));
}

// Verzolan --ocr-screen: the overlay is a widget, and the text read may
// need a window of its own.
int ScreenTextMain(int argc, char **argv, const verz::CommandLine &line)
{
    if (!verz::SelectionDisplayReachable())
        return 1;
    QApplication app(argc, argv);
    return WindowIfNeeded(app, verz::ScreenTextCommand(line));
}

}  // namespace

int main(int argc, char *argv[])
{
    // The application id: the Wayland app id and the portal's registration
    // both name the installed desktop file by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.verzolan.verzolan"));
    // Chosen before any application object exists: with arguments only a core
    // application is made, so the command line needs no display and no
    // platform plugin (ssh, scripts, CI).
    if (verz::WantsCommandLine(argc)) {
        const verz::CommandLine line = verz::ParseCommandLine(ArgumentsOf(argc, argv));
        if (line.action == verz::CommandLine::Action::ScreenText)
            return ScreenTextMain(argc, argv, line);
        if (line.action != verz::CommandLine::Action::Selection)
            return verz::CommandLineMain(argc, argv);
        // A running window reads the selection itself: no display connection
        // and no GUI application here before the call. Where the bus is named,
        // not even a look for the display, which a running window has.
        const bool relay = !line.notify && !qEnvironmentVariableIsSet(verz::kSelectionByCommand);
        const bool busNamed = qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS");
        const auto relayed = [&]() -> std::optional<int> {
            const QCoreApplication relaying(argc, argv);
            return verz::RelaySelectionToWindow(line);
        };
        if (relay && busNamed) {
            if (const std::optional<int> status = relayed())
                return *status;
        }
        if (!verz::SelectionDisplayReachable())
            return 1;
        if (line.notify)
            return verz::NotifySelectionMain(argc, argv, line);
        if (relay && !busNamed) {
            if (const std::optional<int> status = relayed())
                return *status;
        }
        // No window answered: the selection is taken here and a window opened
        // (the call is made once more, for a window that came meanwhile).
        QApplication app(argc, argv);
        return WindowIfNeeded(app, verz::HandSelectionToWindow(line));
    }
    // Meanwhile the application connects to the display.
    const std::future<void> fonts = verz::StartLoadingFontConfiguration();
    QApplication app(argc, argv);
    if (verz::ActivateRunningWindow())
        return 0;
    return WindowMain(app, std::nullopt);
}
