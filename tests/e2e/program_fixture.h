#pragma once

#include "e2e/desktop.h"
#include "stand_in_server.h"
#include "toolkit.h"

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toUtf8().replace("\r", "\\r").replace("\n", "\\n").toStdString() << '"';
}

namespace verz::e2e {

// One scenario: its own home, settings and cache folders, its own copy of the
// program (so the scratch file lands in a folder nobody else uses), and a
// loopback stand-in for the translation service.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The settings file the program reads and writes.
    QString settingsPath() const;
    void storeSetting(const QString &key, const QString &value);
    QString storedSetting(const QString &key) const;
    // Polls until the stored pair row reads row.
    bool waitForStoredRow(const QString &row, int timeoutMs = 5000) const;

    // Starts the program and waits until its window is mapped and painted.
    void launch(const QStringList &arguments = {});
    // Runs the program to its end in the scenario's environment.
    test::ProcessOutcome runProgram(const QStringList &arguments, int timeoutMs = 10000);
    // The stand-in takes every request and never answers; the program is
    // started and its translate button clicked. Fails unless the request arrives.
    void launchWithHangingRequest();
    bool running() const;
    // Waits for the program to end; false if it is still running after timeoutMs.
    bool waitForExit(int timeoutMs);
    // Clicks "Quitter" and expects a prompt, clean end.
    void quit();

    QPoint onScreen(QPoint inWindow) const { return window_.topLeft() + inWindow; }
    QRect onScreen(QRect inWindow) const { return inWindow.translated(window_.topLeft()); }
    void click(QPoint inWindow, int button = 1);
    void click(QRect control) { click(control.center()); }
    // The window's client area as it is now on the screen.
    QRect geometry() const { return WindowGeometry(windowId_); }
    QImage windowShot() const;

    // Text2 as "Copier" puts it on the clipboard, polled until it equals
    // expected or the time is up (the last text read is returned).
    QString outputText(const QString &expected, int timeoutMs = 5000);
    // Waits until the stand-in has seen count requests.
    bool waitForRequests(int count, int timeoutMs = 5000);
    QString sentText(int request = -1) const;
    QString sentPair(int request = -1) const;

    QString scratchPath() const;

    // Extra environment for the program (set before launch()).
    QProcessEnvironment &programEnvironment() { return environment_; }

    // Where launch() looks for the navy face to know the window is painted,
    // in window pixels (a scaled window moves it).
    QPoint paintProbe_{560, 30};
    test::StandInServer standIn_;
    QTemporaryDir root_;
    QString programPath_;
    QProcessEnvironment environment_;
    std::unique_ptr<QProcess> program_;
    QString windowId_;
    QRect window_;
};

// The translated pages the stand-in serves.
QByteArray ResultPage(const QByteArray &translationUtf8);

// Pixel helpers for screenshots of the window.
bool IsColour(QRgb pixel, QRgb expected, int tolerance = 8);
// Which of the six flag pictures the 32 x 32 box of the shot shows ("fr",
// "en", ...), or empty; mismatches receives the count of differing pixels.
QString ShownFlag(const QImage &windowShot, QRect box, int *mismatches = nullptr);

}  // namespace verz::e2e
