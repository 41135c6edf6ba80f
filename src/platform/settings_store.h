#pragma once

#include <QString>

namespace verz {

// The per-user settings store, addressed by application name, section and key.
// Entries live in the desktop's native store (on Linux an INI file under
// $XDG_CONFIG_HOME/<app>/<app>.conf), organisation and application both <app>.
QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue);
void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value);

}  // namespace verz
