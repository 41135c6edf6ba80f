#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>

namespace verz::e2e {

// The X display the program runs on, driven the way a person would: pointer,
// keyboard, clipboard and screen, through xdotool, xclip and ImageMagick.
// Every wait pumps this process's event loop, so an in-process stand-in
// service keeps answering while the program waits on it.

// Lets the event loop run for ms milliseconds (used between poll rounds only).
void Pump(int ms);

// Window geometry of the client area in root coordinates; empty when unknown.
QRect WindowGeometry(const QString &windowId);

// Pointer actions at root coordinates. A drag holds the named modifier keys
// ("shift", "ctrl") from before the press until after the release.
bool Click(QPoint at, int button = 1);
bool Drag(QPoint from, QPoint to, int button = 1, const QStringList &modifiers = {});
bool Key(const QString &keys);

// The X window the pointer is over once moved to at, and the root window, as
// decimal ids; empty when unknown.
QString WindowAt(QPoint at);
QString RootWindow();
bool Type(const QString &text);

// The clipboard, or the primary selection with selection "primary". Filling
// it starts an xclip that owns the selection until the next owner takes over;
// StopClipboardOwner ends it.
bool FillClipboard(const QString &text, const QString &selection = QStringLiteral("clipboard"));
void StopClipboardOwner();
QString ReadClipboard(const QString &selection = QStringLiteral("clipboard"));

// The whole screen.
QImage Screenshot();

// The window's WM_STATE as xprop prints it ("Normal", "Iconic"), empty if none.
QString WindowState(const QString &windowId);

}  // namespace verz::e2e
