#pragma once

#include <QHash>
#include <QString>

#include <list>
#include <optional>

namespace verz {

// Recent translations by langpair and text, oldest dropped first. The same
// sentence asked again (a user pressing the button twice, several users on
// one machine) is answered without a trip to APy.
class TranslationCache {
public:
    explicit TranslationCache(qsizetype capacity) : capacity_(capacity) {}

    std::optional<QString> find(const QString &langpair, const QString &text);
    void insert(const QString &langpair, const QString &text, const QString &translation);
    void clear();
    qsizetype size() const { return index_.size(); }
    quint64 hits() const { return hits_; }
    quint64 misses() const { return misses_; }

private:
    struct Entry {
        QString key;
        QString translation;
    };
    qsizetype capacity_;
    quint64 hits_ = 0;
    quint64 misses_ = 0;
    std::list<Entry> order_;  // most recent first
    QHash<QString, std::list<Entry>::iterator> index_;
};

}  // namespace verz
