#pragma once

#include <QString>

namespace verz {

// The per-user settings store, addressed by application name, section and key.
// Entries live in the INI file $XDG_CONFIG_HOME/<app>/<app>.conf (where the
// desktop's native store keeps them), edited line by line (see ini_lines.h).
// A file that cannot be opened reads as empty; one that cannot be written
// keeps its old content; one that is no text this store reads (ini_lines.h)
// reads as empty and is never written.
QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue);
// False when the settings file is there but is no text this store reads.
bool SettingsReadable(const QString &appName);
QString SettingsFilePath(const QString &appName);
void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value);

}  // namespace verz
