#pragma once

#include <QString>

namespace verz {

// The local translation page service the program talks to by default.
inline constexpr char16_t kDefaultServiceHost[] = u"127.0.0.1:8787";

// The service host for this run: the per-user entry "service" in section "data"
// (a host or host:port) when it holds one, else kDefaultServiceHost. Read once
// at start-up, never written. When the settings file cannot be read, a line on
// standard error says so and the host is empty: no service is asked.
QString ServiceHostFromSettings(const QString &appName);
// True when the settings name a service, or may (they cannot be read): then
// the program never starts one.
bool ServiceNamedInSettings(const QString &appName);

}  // namespace verz
