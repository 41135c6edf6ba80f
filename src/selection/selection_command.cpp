#include "selection/selection_command.h"

#include "cli/cli_texts.h"
#include "cli/command_line.h"
#include "cli/line_translator.h"
#include "pairs/pair_catalogue.h"
#include "pairs/stored_choice.h"
#include "platform/app_info.h"
#include "selection/desktop_notification.h"
#include "selection/selection_text.h"
#include "selection/session_selection.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <iostream>

namespace verz {

namespace {

// How long a notification's « Copier » stays usable, and the copy with it.
constexpr int kNotificationWaitMs = 5 * 60 * 1000;
// How long a window brought to the front waits for the focus to read a
// selection only the focus may read.
constexpr int kFocusWaitMs = 2500;

// Shows the notification, or says why not on standard error; true if shown.
bool Notify(DesktopNotification &notification)
{
    QString problem;
    if (notification.show(&problem))
        return true;
    SayOnError(problem);
    return false;
}

// A line in a notification, or on standard error where none can be shown.
void NotifyLine(const QString &text)
{
    DesktopNotification line(QStringLiteral("Verzolan"), text, false);
    if (!Notify(line))
        SayOnError(text);
}

// A Wayland compositor's socket, as WAYLAND_DISPLAY names it.
bool WaylandReachable()
{
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (name.isEmpty())
        return false;
    const QString path =
        QDir::isAbsolutePath(name) ? name : qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + name;
    return QFileInfo(path).exists();
}

bool X11Reachable()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reached;
}

// The pair the command line named, else the one the text's language calls for.
int ChosenRow(const CommandLine &line, const QString &text)
{
    return line.pairRow >= 0 ? line.pairRow : DetectedSelectionRow(text, line.autoTarget);
}

}  // namespace

bool SelectionDisplayReachable()
{
    // Without one, Qt ends the process with an abort and an English advice to
    // reinstall; the user is owed a line in French and a plain failure.
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool forced =
        !platform.isEmpty() && !platform.startsWith(u"xcb") && !platform.startsWith(u"wayland");
    if (forced || WaylandReachable() || X11Reachable())
        return true;
    SayOnError(
        QStringLiteral("aucun écran n'est joignable (ni DISPLAY ni WAYLAND_DISPLAY) : "
                       "la sélection et l’écran ne se lisent que dans une session graphique."));
    return false;
}

int NotifySelectionMain(int argc, char **argv, const CommandLine &line)
{
    const QGuiApplication application(argc, argv);
    const TakenSelection taken = TakeUsableSelection(NotifyLine);
    if (taken.text.isEmpty()) {
        if (taken.onlyWithFocus)  // no window of ours to take the focus
            NotifyLine(NothingSelectedMessage());
        return 1;
    }
    const int row = ChosenRow(line, taken.text);
    return NotifyTranslation(taken.text, row, !taken.notice.isEmpty());
}

int NotifyTranslation(const QString &text, int pairRow, bool cut)
{
    const int row = pairRow >= 0 ? pairRow : ReadStoredRow(ExecutableBaseName());
    const LanguagePair &pair = PairCatalogue()[static_cast<std::size_t>(row)];
    const ServiceAccess access = ServiceAccessFromSettings(ExecutableBaseName());
    LineTranslator translator(access, row, pair.codeText(), false);
    const std::optional<QString> translation = translator.translate(text);
    if (!translation) {
        DesktopNotification notConnected(pair.labelText(), NotConnectedMessage(access.host), false);
        Notify(notConnected);
        SayOnError(NotConnectedMessage(access.host));
        return 1;
    }
    QString summary = pair.labelText();
    if (cut)
        summary += QStringLiteral(" (sélection coupée)");
    DesktopNotification shown(summary, *translation, true);
    if (!Notify(shown)) {
        SayOnError(QStringLiteral("la traduction est écrite sur la sortie standard"));
        std::cout << (*translation + u'\n').toStdString() << std::flush;
        return 0;
    }
    shown.waitForUser(kNotificationWaitMs);
    return 0;
}

SelectionHandOver HandSelectionToWindow(const CommandLine &line)
{
    SelectionHandOver handOver;
    const TakenSelection taken = TakeUsableSelection();
    if (taken.text.isEmpty() && taken.onlyWithFocus) {
        const Delivery asked = AskRunningWindowToTakeIt(line.pairCode);
        if (asked.outcome == Delivery::Outcome::NoWindow) {
            handOver.windowNeeded = true;
            handOver.takeOnceFocused = true;
            handOver.pairRow = line.pairRow;
            return handOver;
        }
        if (asked.outcome == Delivery::Outcome::Refused) {
            SayOnError(asked.problem);
            handOver.exitStatus = 1;
        }
        return handOver;
    }
    if (taken.text.isEmpty()) {
        handOver.exitStatus = 1;
        return handOver;
    }
    const int row = ChosenRow(line, taken.text);
    return HandTextToWindow(taken.text, row);
}

SelectionHandOver HandTextToWindow(const QString &text, int pairRow)
{
    SelectionHandOver handOver;
    const QString pairCode =
        pairRow >= 0 ? PairCatalogue()[static_cast<std::size_t>(pairRow)].codeText() : QString();
    const Delivery delivery = DeliverToRunningWindow(text, pairCode);
    switch (delivery.outcome) {
    case Delivery::Outcome::Delivered:
        return handOver;
    case Delivery::Outcome::Refused:
        SayOnError(delivery.problem);
        handOver.exitStatus = 1;
        return handOver;
    case Delivery::Outcome::NoWindow:
        break;
    }
    handOver.windowNeeded = true;
    handOver.text = text;
    handOver.pairRow = pairRow;
    return handOver;
}

void TakeSelectionForNewWindow(const SelectionReceiver &receiver, int pairRow)
{
    TakeSelectionOnceFocused(qApp, kFocusWaitMs, [receiver, pairRow](const TakenSelection &taken) {
        const TakenSelection usable = UsableSelection(taken);
        if (!usable.text.isEmpty())
            receiver(usable.text, pairRow);
    });
}

}  // namespace verz
