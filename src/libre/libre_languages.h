#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>

namespace verz {

// The pairs a LibreTranslate server serves, as "en|de", from its GET
// /languages answer: [{"code": "en", "name": "English", "targets": ["de", …]}, …].
// nullopt when the answer is not such a list.
std::optional<QSet<QString>> ParseLibreLanguages(const QByteArray &body);

}  // namespace verz
