#include "selection/selection_sources.h"

#include "platform/app_info.h"
#include "platform/settings_store.h"
#include "selection/detected_selection_pair.h"
#include "selection/global_shortcut.h"
#include "selection/portal_shortcut.h"
#include "selection/selection_command.h"
#include "selection/usable_selection.h"

#include <QGuiApplication>

namespace verz {

namespace {

// The key's press: the selection as the session gives it, or as the window
// takes it once brought to the front and focused.
void TranslateSelectionOnKey(const SelectionReceiver &receiver, const FrontBringer &bringer)
{
    const TakenSelection taken = TakeUsableSelection();
    if (taken.text.isEmpty() && taken.onlyWithFocus) {
        bringer(QString());
        TakeSelectionForNewWindow(receiver, -1);
        return;
    }
    if (!taken.text.isEmpty())
        receiver(taken.text, DetectedSelectionRow(taken.text));
}

}  // namespace

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
    if (!shortcut_->grab(keys, &problem))
        SayOnError(problem);
}

SelectionSources::~SelectionSources() = default;

}  // namespace verz
