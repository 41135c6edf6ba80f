#include "libre/libre_languages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace verz {

std::optional<QSet<QString>> ParseLibreLanguages(const QByteArray &body)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QSet<QString> pairs;
    for (const QJsonValue entry : document.array()) {
        const QJsonObject language = entry.toObject();
        const QString source = language.value(u"code").toString();
        if (source.isEmpty())
            return std::nullopt;
        for (const QJsonValue target : language.value(u"targets").toArray()) {
            if (target.isString() && target.toString() != source)
                pairs.insert(source + QLatin1Char('|') + target.toString());
        }
    }
    return pairs;
}

}  // namespace verz
