#include "dict/dictionary.h"

#include "dict/dictionary_entry.h"

#include <QHash>

#include <algorithm>

namespace verz {

namespace {

// Guards against an index that points at a whole file: no real entry is
// near this long, and a look-up should not inflate megabytes.
constexpr qint64 kLongestEntry = 256 * 1024;
// Headwords like "gut" have a few dozen entries; past this they add nothing.
constexpr qsizetype kMostEntries = 64;
// Past a few examples a sense is common enough; more should not outweigh
// the senses of other entries.
constexpr int kMostExampleWeight = 4;

QList<DictionaryEntry> Closest(const QList<DictionaryEntry> &entries, const QString &headword)
{
    for (const Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        QList<DictionaryEntry> matching;
        for (const DictionaryEntry &entry : entries) {
            if (entry.headword.compare(headword, sensitivity) == 0)
                matching.push_back(entry);
        }
        if (!matching.isEmpty())
            return matching;
    }
    // Filed under the key but written otherwise ("Wetter…", the prefix).
    return entries;
}

}  // namespace

Dictionary::Dictionary(std::unique_ptr<DictdIndex> index, std::unique_ptr<DictzipFile> data)
    : index_(std::move(index)), data_(std::move(data))
{
}

std::unique_ptr<Dictionary> Dictionary::Open(const QString &indexPath, const QString &dataPath)
{
    std::unique_ptr<DictzipFile> data = DictzipFile::Open(dataPath);
    if (!data)
        return nullptr;
    std::unique_ptr<DictdIndex> index = DictdIndex::Open(indexPath, data->size());
    if (!index)
        return nullptr;
    return std::unique_ptr<Dictionary>(new Dictionary(std::move(index), std::move(data)));
}

QByteArray Dictionary::IndexKey(const QString &headword)
{
    QString key;
    key.reserve(headword.size());
    for (const QChar c : headword.toLower()) {
        if (c.isLetterOrNumber())
            key += c;
        else if (c.isSpace() && !key.isEmpty() && !key.endsWith(u' '))
            key += u' ';
    }
    return key.trimmed().toUtf8();
}

QStringList Dictionary::translations(const QString &headword, int limit)
{
    const QByteArray key = IndexKey(headword);
    if (key.isEmpty())
        return {};
    QList<DictionaryEntry> entries;
    for (const EntrySpan &span : index_->find(key)) {
        if (entries.size() == kMostEntries)
            break;
        if (span.length > kLongestEntry)
            continue;
        if (const std::optional<QByteArray> text = data_->read(span.offset, span.length))
            entries.push_back(ParseDictionaryEntry(QString::fromUtf8(*text)));
    }
    // The dictionaries give no frequencies; a translation many senses share
    // is the likelier one, and so is one whose sense has many examples, or
    // stands first in its sense (one example alone says little); one marked
    // slang or dated is the narrower one.
    struct Tally {
        QString translation;
        int score = 0;
    };
    QList<Tally> tallies;
    QHash<QString, qsizetype> at;
    for (const DictionaryEntry &entry : Closest(entries, headword)) {
        const int weight = 2 + std::clamp(entry.examples - 1, 0, kMostExampleWeight);
        for (const DictionarySense &sense : entry.senses) {
            for (const QString &translation : sense.translations) {
                auto found = at.constFind(translation);
                if (found == at.constEnd()) {
                    found = at.insert(translation, tallies.size());
                    tallies.push_back({translation, 0});
                }
                tallies[*found].score += (sense.markedRegister ? 1 : weight) +
                                         (translation == sense.translations.first() ? 1 : 0);
            }
        }
    }
    std::stable_sort(tallies.begin(), tallies.end(),
                     [](const Tally &a, const Tally &b) { return a.score > b.score; });
    QStringList best;
    for (const Tally &tally : tallies) {
        if (best.size() == limit)
            break;
        best.push_back(tally.translation);
    }
    return best;
}

}  // namespace verz
