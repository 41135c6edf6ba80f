#pragma once

#include "selection/selection_text.h"

#include <QObject>

#include <functional>

class QClipboard;

namespace verz {

// The selected text as a program without the keyboard focus can have it.
// On X11, TakeSelection. In a Wayland session, where only the focused
// program may read Wayland's selections, the X selections of its XWayland
// server (primary, then clipboard), which the desktop keeps in step with
// Wayland's. Empty, with onlyWithFocus set, when none holds text there and
// the focus may still get it (see TakeSelectionOnceFocused).
TakenSelection TakeSessionSelection(const QClipboard &clipboard);

// Once a window of this program has the keyboard focus (at once when one has
// it), reads the primary selection or else the clipboard and calls done with
// it, fitted; with an empty text when neither holds any or no focus came
// within timeoutMs. Bring a window to the front first.
void TakeSelectionOnceFocused(QObject *context, int timeoutMs,
                              std::function<void(const TakenSelection &)> done);

// One line for the user on standard error, "Verzolan : " before it.
void SayOnError(const QString &text);

using LineSayer = std::function<void(const QString &text)>;

// The selection as a command or the key may translate it: its cut notice
// already said on standard error. Without text, onlyWithFocus tells whether
// the focus may still read one (Wayland); otherwise sayNothing has been given
// the nothing-selected message.
TakenSelection TakeUsableSelection(const LineSayer &sayNothing = SayOnError);

// The same for a selection taken some other way (once focused, say).
TakenSelection UsableSelection(TakenSelection taken, const LineSayer &sayNothing = SayOnError);

}  // namespace verz
