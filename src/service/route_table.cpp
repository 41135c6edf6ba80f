#include "service/route_table.h"

#include "service/languages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace verz {

namespace {

QString Langpair(const QString &source, const QString &target)
{
    return source + QLatin1Char('|') + target;
}

}  // namespace

std::optional<RouteTable> RouteTable::FromListPairs(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QJsonValue data = document.object().value(u"responseData");
    if (!data.isArray())
        return std::nullopt;
    RouteTable table;
    for (const QJsonValueConstRef entry : data.toArray()) {
        const QString source = entry.toObject().value(u"sourceLanguage").toString();
        const QString target = entry.toObject().value(u"targetLanguage").toString();
        if (!source.isEmpty() && !target.isEmpty())
            table.addPair(source, target);
    }
    return table;
}

void RouteTable::addPair(const QString &source, const QString &target)
{
    pairs_.insert({NormalisedApertiumCode(source), NormalisedApertiumCode(target)});
}

bool RouteTable::hasPair(const QString &source, const QString &target) const
{
    return pairs_.contains({NormalisedApertiumCode(source), NormalisedApertiumCode(target)});
}

Route RouteTable::routeFor(const QString &source, const QString &target) const
{
    const QString from = NormalisedApertiumCode(source);
    const QString to = NormalisedApertiumCode(target);
    if (hasPair(from, to))
        return {{Langpair(from, to)}};
    const QString pivot = QStringLiteral("spa");
    if (from != pivot && to != pivot && hasPair(from, pivot) && hasPair(pivot, to))
        return {{Langpair(from, pivot), Langpair(pivot, to)}};
    return {};
}

}  // namespace verz
