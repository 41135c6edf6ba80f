#pragma once

#include "dict/dictionary.h"

#include <QString>
#include <map>

#include <memory>

namespace verz {

// The free dictionaries for the pairs no Apertium package of Debian's
// serves (those with German), opened on the first request that needs one:
// a service that is never asked for German keeps neither memory nor start-up
// time for them.
class DictionaryShelf {
public:
    // folder holds freedict-<src>-<dst>.index and .dict.dz ("/usr/share/dictd").
    explicit DictionaryShelf(QString folder);

    // Whether the pair is one of those the dictionaries answer (two-letter codes).
    static bool Serves(const QString &source, const QString &target);
    // The pair's dictionary; nullptr for another pair or when its files are
    // missing or broken (tried once: a broken index stays broken).
    Dictionary *forPair(const QString &source, const QString &target);

private:
    struct Shelved {
        bool tried = false;
        std::unique_ptr<Dictionary> dictionary;
    };
    QString folder_;
    std::map<QString, Shelved> shelved_;
};

}  // namespace verz
