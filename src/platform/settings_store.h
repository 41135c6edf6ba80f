#pragma once

#include <QString>

namespace verz {

// The per-user settings store, addressed by application name, section and key.
// Entries live in the INI file $XDG_CONFIG_HOME/<app>/<app>.conf (where the
// desktop's native store keeps them), edited line by line (see ini_lines.h).
// A file that cannot be read reads as empty; one that cannot be written
// keeps its old content.
QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue);
void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value);

}  // namespace verz
