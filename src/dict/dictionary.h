#pragma once

#include "dict/dictd_index.h"
#include "dict/dictzip_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace verz {

// One dictd dictionary, "<name>.index" and "<name>.dict.dz": the commonest
// translations of a word or a set phrase.
class Dictionary {
public:
    // nullptr when either file is missing or the index cannot be trusted.
    static std::unique_ptr<Dictionary> Open(const QString &indexPath, const QString &dataPath);

    // The translations of the headword, those most senses share first, at
    // most limit; empty when the dictionary has no entry for it. Entries
    // written exactly as asked come first ("gut", the adjective, before
    // "Gut", the noun), then those that differ only in case.
    QStringList translations(const QString &headword, int limit);

    // The form the index files headwords under: lower case, letters, digits
    // and single spaces only ("0,2-Literflasche" → "02literflasche").
    static QByteArray IndexKey(const QString &headword);

private:
    Dictionary(std::unique_ptr<DictdIndex> index, std::unique_ptr<DictzipFile> data);

    std::unique_ptr<DictdIndex> index_;
    std::unique_ptr<DictzipFile> data_;
};

}  // namespace verz
