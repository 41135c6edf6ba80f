#pragma once

#include <QString>

namespace verz {

// Reads an X selection ("PRIMARY" or "CLIPBOARD") as UTF-8 text over a
// connection of its own to the X display named by DISPLAY: in a Wayland
// session, the XWayland server, whose selections the desktop keeps in step
// with Wayland's, and which, unlike Wayland, lets a program read them without
// the keyboard focus. Empty when there is no display, no owner, no text, or
// the owner does not answer within timeoutMs; at most maxBytes are kept.
QString ReadX11Selection(const char *selection, int timeoutMs, qsizetype maxBytes);

}  // namespace verz
