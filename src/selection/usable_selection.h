#pragma once

#include "selection/selection_text.h"

#include <QString>

#include <functional>

namespace verz {

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
