#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

namespace verz {

// The server's base address: http or https with a host, else nullopt and why.
std::optional<QUrl> ReadLibreUrl(const QString &text, QString *error);

// The API key from its file (surrounding white space dropped). A file that
// is missing, unreadable or empty is an error; one that the group or others
// may read gives a warning and is used.
std::optional<QByteArray> ReadLibreKeyFile(const QString &path, QString *error, QString *warning);

// "de|fr,fr|de" or "all" (an empty set: every pair); each pair must be one
// of offered. nullopt and why otherwise.
std::optional<QSet<QString>> ReadLibrePairs(const QString &text, const QSet<QString> &offered,
                                            QString *error);

}  // namespace verz
