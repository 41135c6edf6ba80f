#include "selection/selection_command.h"

#include "cli/command_line.h"
#include "cli/line_translator.h"
#include "pairs/pair_catalogue.h"
#include "pairs/stored_choice.h"
#include "platform/app_info.h"
#include "platform/settings_store.h"
#include "selection/desktop_notification.h"
#include "selection/global_shortcut.h"
#include "selection/portal_shortcut.h"
#include "selection/selection_text.h"
#include "selection/session_selection.h"

#include <QClipboard>
#include <QGuiApplication>

#include <iostream>

namespace verz {

namespace {

// How long a notification's « Copier » stays usable, and the copy with it.
constexpr int kNotificationWaitMs = 5 * 60 * 1000;
// How long a window brought to the front waits for the focus to read a
// selection only the focus may read.
constexpr int kFocusWaitMs = 2500;

void SayOnError(const QString &text)
{
    std::cerr << (QStringLiteral("Verzolan : ") + text + u'\n').toStdString() << std::flush;
}

// Shows the notification, or says why not on standard error; true if shown.
bool Notify(DesktopNotification &notification)
{
    QString problem;
    if (notification.show(problem))
        return true;
    SayOnError(problem);
    return false;
}

}  // namespace

int NotifySelectionMain(int argc, char **argv, const CommandLine &line)
{
    const QGuiApplication application(argc, argv);
    bool onlyWithFocus = false;
    const TakenSelection taken = TakeSessionSelection(*QGuiApplication::clipboard(), onlyWithFocus);
    if (IsEmptySelection(taken.text)) {
        DesktopNotification nothing(QStringLiteral("Verzolan"), NothingSelectedMessage(), false);
        if (!Notify(nothing))
            SayOnError(NothingSelectedMessage());
        return 1;
    }
    if (!taken.notice.isEmpty())
        SayOnError(taken.notice);

    const int row = line.pairRow >= 0 ? line.pairRow : ReadStoredRow(ExecutableBaseName());
    const LanguagePair &pair = PairCatalogue()[static_cast<std::size_t>(row)];
    const ServiceAccess access = ServiceAccessFromSettings(ExecutableBaseName());
    LineTranslator translator(access, row, pair.codeText(), false);
    const std::optional<QString> translation = translator.translate(taken.text);
    if (!translation) {
        const QString failure = QStringLiteral("Non Connecté (le service de traduction ") +
                                access.host + QStringLiteral(" ne répond pas)");
        DesktopNotification notConnected(pair.labelText(), failure, false);
        Notify(notConnected);
        SayOnError(failure);
        return 1;
    }
    QString summary = pair.labelText();
    if (!taken.notice.isEmpty())
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
    bool onlyWithFocus = false;
    const TakenSelection taken = TakeSessionSelection(*QGuiApplication::clipboard(), onlyWithFocus);
    if (IsEmptySelection(taken.text) && onlyWithFocus) {
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
    if (IsEmptySelection(taken.text)) {
        SayOnError(NothingSelectedMessage());
        handOver.exitStatus = 1;
        return handOver;
    }
    if (!taken.notice.isEmpty())
        SayOnError(taken.notice);
    const Delivery delivery = DeliverToRunningWindow(taken.text, line.pairCode);
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
    handOver.text = taken.text;
    handOver.pairRow = line.pairRow;
    return handOver;
}

namespace {

// The key's press: the selection as the session gives it, or as the window
// takes it once brought to the front and focused.
void TranslateSelectionOnKey(const SelectionReceiver &receiver, const FrontBringer &bringer)
{
    bool onlyWithFocus = false;
    const TakenSelection taken = TakeSessionSelection(*QGuiApplication::clipboard(), onlyWithFocus);
    if (IsEmptySelection(taken.text) && onlyWithFocus) {
        bringer(QString());
        TakeSelectionForNewWindow(receiver, -1);
        return;
    }
    if (IsEmptySelection(taken.text)) {
        SayOnError(NothingSelectedMessage());
        return;
    }
    if (!taken.notice.isEmpty())
        SayOnError(taken.notice);
    receiver(taken.text, -1);
}

}  // namespace

void TakeSelectionForNewWindow(const SelectionReceiver &receiver, int pairRow)
{
    TakeSelectionOnceFocused(qApp, kFocusWaitMs, [receiver, pairRow](const TakenSelection &taken) {
        if (IsEmptySelection(taken.text)) {
            SayOnError(NothingSelectedMessage());
            return;
        }
        if (!taken.notice.isEmpty())
            SayOnError(taken.notice);
        receiver(taken.text, pairRow);
    });
}

SelectionSources::SelectionSources(const SelectionReceiver &receiver, const FrontBringer &bringer)
    : endpoint_(receiver)
{
    const auto pressed = [receiver, bringer] { TranslateSelectionOnKey(receiver, bringer); };
    endpoint_.setFrontBringer(bringer);
    endpoint_.publish();
    const QString keys =
        GetSetting(ExecutableBaseName(), QStringLiteral("data"),
                   QString::fromUtf16(kShortcutSettingKey), QString::fromUtf16(kDefaultShortcut));
    if (QGuiApplication::platformName() != u"xcb") {
        // No program may grab keys outside X11: the desktop's portal binds it.
        portal_ = std::make_unique<PortalShortcut>(pressed);
        portal_->bind(keys);
        return;
    }
    shortcut_ = std::make_unique<GlobalShortcut>(pressed);
    QString problem;
    if (!shortcut_->grab(keys, problem))
        SayOnError(problem);
}

SelectionSources::~SelectionSources() = default;

}  // namespace verz
