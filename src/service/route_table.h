#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>

#include <optional>

namespace verz {

// The way from one language to another through the pairs APy has. For the
// eight pairs the quality bench measured, the best-scoring route whose pairs
// are installed; otherwise, and when none of those is, the direct pair, then
// two legs through Spanish; none when no installed pair serves it.
struct Route {
    QStringList legs;  // APy langpairs in order, "fra|spa"
    // The next measured route whose pairs are installed, for the sentences a
    // pivot's second leg cannot read; empty when there is none.
    QStringList alternative;
    bool available() const { return !legs.isEmpty(); }
};

class RouteTable {
public:
    RouteTable() = default;
    // From the body of APy's /listPairs; nullopt when it is not such a list.
    static std::optional<RouteTable> FromListPairs(const QByteArray &json);

    void addPair(const QString &source, const QString &target);
    bool hasPair(const QString &source, const QString &target) const;
    // Codes are APy's three-letter ones ("fra", "eng").
    Route routeFor(const QString &source, const QString &target) const;
    qsizetype size() const { return pairs_.size(); }

private:
    QSet<QPair<QString, QString>> pairs_;
};

}  // namespace verz
