#include "service/systemd_notifier.h"

#include <systemd/sd-daemon.h>

#include <algorithm>
#include <cstdint>

namespace verz {

SystemdNotifier::SystemdNotifier(QObject *parent) : QObject(parent)
{
    connect(&ping_, &QTimer::timeout, this, [] { sd_notify(0, "WATCHDOG=1"); });
}

void SystemdNotifier::ready()
{
    // The variables stay set for APy: the manager only listens to our pid.
    sd_notify(0, "READY=1");
    uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) <= 0 || usec == 0)
        return;
    const int halfMs = int(std::clamp<uint64_t>(usec / 2000, 1, 3600 * 1000));
    ping_.start(halfMs);
    sd_notify(0, "WATCHDOG=1");
}

}  // namespace verz
