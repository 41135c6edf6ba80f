#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace verz {

// The settings file read and edited line by line, so that a change to one
// entry keeps every other line exactly as the user left it, the ones no INI
// reader understands included. Sections are "[name]" lines; entries are
// "key=value" lines; blank lines, comments (";" or "#") and unreadable lines
// are skipped by the reader and kept by the writer. A value may be quoted
// ("...", with \" \\ \n \r \t); an unquoted value ends at ";". The last entry
// of a key in a section counts.
std::optional<QString> IniValue(const QByteArray &file, const QString &section, const QString &key);

// The file with key's last entry in section replaced, or added at the end of
// that section (the section itself added at the end of the file when absent).
QByteArray WithIniValue(const QByteArray &file, const QString &section, const QString &key,
                        const QString &value);

}  // namespace verz
