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
// of a key in a section counts. Section names and keys are compared without
// regard to case, and spaces around them, around "=" and inside the brackets
// do not count: "[ Data ]" and "Service = x" are what the user meant.
//
// Text is UTF-8; a byte-order mark at the start says UTF-8, UTF-16 or UTF-32
// and is no part of the first line. A line that is not UTF-8, or holds a NUL,
// is one the reader skips and the writer keeps as it was. A file without a
// mark of which one byte in eight or more is NUL (UTF-16 without its mark, a
// binary file), or whose mark its bytes belie, is no text: it reads as
// unreadable.
bool IniReadable(const QByteArray &file);
std::optional<QString> IniValue(const QByteArray &file, const QString &section, const QString &key);

// The file with key's last entry in section replaced, or added at the end of
// that section (the section itself added at the end of the file when absent),
// in the file's own encoding, mark and line ends. An unreadable file comes
// back as it was: rewriting what was not understood would lose it.
QByteArray WithIniValue(const QByteArray &file, const QString &section, const QString &key,
                        const QString &value);

}  // namespace verz
