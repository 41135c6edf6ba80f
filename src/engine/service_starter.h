#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

class QEventLoop;

namespace verz {

// Starts the local translation page service when nothing listens for it, for
// machines where no service manager does (containers, some desktops). The
// service runs detached in a session of its own, so it outlives the window,
// and ends by its idle timeout. Two windows starting it at once are fine: the
// one that loses the race for the port exits, and both find the winner.
class ServiceStarter {
public:
    static constexpr int kIdleExitSeconds = 600;

    // candidates: executables tried in turn; port: where the service answers
    // on 127.0.0.1; logPath: its output (empty: none).
    ServiceStarter(QStringList candidates, quint16 port, QString logPath);

    // The one beside the program, then the installed one, on the default port.
    static std::unique_ptr<ServiceStarter> ForDefaultService();

    // Starts the first candidate that is an executable file and waits until
    // the port accepts connections. False at once when there is none, when
    // the service ends without anything listening, at the deadline, or after
    // cancel(). The event loop runs meanwhile.
    bool startAndWait(const QDeadlineTimer &deadline);
    void cancel();
    bool cancelled() const { return cancelled_; }

private:
    bool waitForListener(qint64 pid, const QDeadlineTimer &deadline);

    QStringList candidates_;
    quint16 port_;
    QString logPath_;
    QEventLoop *waiting_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace verz
