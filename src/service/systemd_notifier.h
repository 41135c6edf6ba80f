#pragma once

#include <QObject>
#include <QTimer>

namespace verz {

// Talks to the service manager when there is one (Type=notify units): READY
// once the service listens, then, if the unit has WatchdogSec=, a ping from
// the event loop at half that period, so a service whose loop freezes stops
// pinging and is restarted. Without a manager each call does nothing.
class SystemdNotifier : public QObject {
    Q_OBJECT
public:
    explicit SystemdNotifier(QObject *parent = nullptr);

    void ready();
    // 0 when the manager asked for no watchdog.
    int pingIntervalMs() const { return ping_.isActive() ? ping_.interval() : 0; }

private:
    QTimer ping_;
};

}  // namespace verz
