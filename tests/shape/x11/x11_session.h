#pragma once

// Drives the real program on the X display the test runs under: launches it
// with a private home and settings, finds its window, takes screenshots and
// plays pointer gestures with xdotool.

#include <QImage>
#include <QMap>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace verz::x11 {

// Output of a helper program, empty when it failed to finish in time.
QString RunTool(const QString &program, const QStringList &args, int timeoutMs = 5000);

// Runs xdotool with the arguments.
QString Xdotool(const QStringList &args);

bool WindowManagerRunning();
QString RootWindowId();

// The X window under the pointer, as xdotool names it.
QString WindowUnderPointer(QPoint screenPos);

// The whole screen as the X server holds it now.
QImage Screenshot();

// Presses a button at screenPos, moves by delta in a few steps and releases,
// with the named modifier keys held throughout ("shift", "ctrl").
void DragWith(int button, QPoint screenPos, QPoint delta, const QStringList &modifiers = {});

// One run of the built program, ended when this object goes.
class RunningProgram {
public:
    // extraEnv is added to a clean environment (no inherited scaling or
    // platform variables); the service host points at a closed loopback port.
    explicit RunningProgram(const QMap<QString, QString> &extraEnv = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    // Empty unless the window was found, mapped and painted in time.
    QString windowId() const { return windowId_; }
    QString failure() const { return failure_; }
    // Whether the program is still alive (a crash is only noticed when asked).
    bool running();

    // Client area on the screen, from the X server.
    QRect geometry() const;
    // Polls until the window's top-left reaches want or the time is up.
    QPoint waitForPosition(QPoint want, int timeoutMs = 3000) const;

    // Part of a screenshot covering the window's client area.
    QImage windowShot() const;

private:
    QTemporaryDir home_;
    QProcess process_;
    QString windowId_;
    QString failure_;
};

}  // namespace verz::x11
