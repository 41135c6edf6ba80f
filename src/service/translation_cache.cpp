#include "service/translation_cache.h"

namespace verz {

namespace {

QString CacheKey(const QString &langpair, const QString &text)
{
    return langpair + QChar(u'\n') + text;
}

}  // namespace

std::optional<QString> TranslationCache::find(const QString &langpair, const QString &text)
{
    const auto it = index_.constFind(CacheKey(langpair, text));
    if (it == index_.constEnd()) {
        ++misses_;
        return std::nullopt;
    }
    ++hits_;
    order_.splice(order_.begin(), order_, it.value());
    return order_.front().translation;
}

void TranslationCache::insert(const QString &langpair, const QString &text,
                              const QString &translation)
{
    if (capacity_ <= 0)
        return;
    const QString key = CacheKey(langpair, text);
    if (const auto it = index_.constFind(key); it != index_.constEnd()) {
        it.value()->translation = translation;
        order_.splice(order_.begin(), order_, it.value());
        return;
    }
    order_.push_front({key, translation});
    index_.insert(key, order_.begin());
    while (index_.size() > capacity_) {
        index_.remove(order_.back().key);
        order_.pop_back();
    }
}

void TranslationCache::clear()
{
    order_.clear();
    index_.clear();
}

}  // namespace verz
