#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QProcess;

namespace verz::test {

// Runs this thread's event loop until done() holds, so stand-ins living here
// keep answering meanwhile. The limit only keeps a broken test from hanging
// the suite; it asserts nothing about speed.
bool WaitUntil(const std::function<bool()> &done, int limitMs = 20000);

// A loopback port nobody listened on a moment ago: a service that refuses.
quint16 FreePort();

// This process and what it starts keep their settings and caches under root,
// never in the user's own home.
void UsePrivateHome(const QString &root);

struct ProcessOutcome {
    bool ended = false;  // false: still running at the limit (then killed) or never started
    int exitCode = -1;   // -1 unless it ended by itself, not by a signal
    QByteArray out;
    QByteArray err;
};

struct ProcessOptions {
    QByteArray input;  // standard input, closed once written
    int limitMs = 10000;
    std::optional<QProcessEnvironment> environment;
};

// Runs program to its end through the event loop (never waitForFinished:
// a stand-in on this thread may be what it talks to).
ProcessOutcome RunProcess(const QString &program, const QStringList &arguments,
                          const ProcessOptions &options = {});
// The same wait for a process started elsewhere; its output is read at the end
// unless it is forwarded.
ProcessOutcome FinishProcess(QProcess &process, int limitMs);

}  // namespace verz::test
