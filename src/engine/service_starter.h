#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace verz {

// Starts the local translation page service when nothing listens for it, for
// machines where no service manager does (containers, some desktops). The
// service runs detached in a session of its own, so it outlives the window,
// and ends by its idle timeout. Two windows starting it at once are fine: the
// one that loses the race for the port exits, and both find the winner.
//
// One start at a time per starter: whoever asks while a start is under way
// (the click after the window's warm-up, say) waits for that same start.
class ServiceStarter {
public:
    static constexpr int kIdleExitSeconds = 600;
    // A start not listening by then has failed, whoever waits for it.
    static constexpr int kStartLimitMs = 15000;
    using Done = std::function<void(bool listening)>;

    // candidates: executables tried in turn; port: where the service answers
    // on 127.0.0.1; logPath: its output (empty: none).
    ServiceStarter(QStringList candidates, quint16 port, QString logPath);
    ~ServiceStarter();
    ServiceStarter(const ServiceStarter &) = delete;
    ServiceStarter &operator=(const ServiceStarter &) = delete;

    // The one beside the program, then the installed one, on the default port.
    static std::unique_ptr<ServiceStarter> ForDefaultService();

    // Starts the first candidate that is an executable file, unless a start
    // is under way already, and calls done (from the event loop, never from
    // within start) once the port accepts connections, or with false when
    // there is no candidate, when the service ends without anything
    // listening, or after kStartLimitMs.
    void start(Done done);
    // start() and wait until it ends, the deadline passes or cancel(); the
    // event loop runs meanwhile. True when the port accepts connections.
    bool startAndWait(const QDeadlineTimer &deadline);
    // Ends a wait in startAndWait; the start itself goes on.
    void cancel();
    bool cancelled() const { return cancelled_; }
    // How many services this starter has launched.
    int launches() const { return launches_; }

private:
    struct Attempt;
    void finish(bool listening);

    QStringList candidates_;
    quint16 port_;
    QString logPath_;
    std::unique_ptr<Attempt> attempt_;
    std::function<void()> stopWaiting_;
    bool cancelled_ = false;
    int launches_ = 0;
};

}  // namespace verz
