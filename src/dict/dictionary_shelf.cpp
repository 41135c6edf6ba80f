#include "dict/dictionary_shelf.h"

#include "common/languages.h"

#include <utility>

namespace verz {

DictionaryShelf::DictionaryShelf(QString folder) : folder_(std::move(folder)) {}

bool DictionaryShelf::Serves(const QString &source, const QString &target)
{
    const bool german = source == u"de" || target == u"de";
    const QString &other = source == u"de" ? target : source;
    return german && other != u"de" && (other == u"fr" || other == u"en");
}

Dictionary *DictionaryShelf::forPair(const QString &source, const QString &target)
{
    if (!Serves(source, target))
        return nullptr;
    // Named by the three-letter codes: freedict-deu-fra.
    const QString name = QStringLiteral("freedict-") + LanguageByCode(source)->apertium +
                         QLatin1Char('-') + LanguageByCode(target)->apertium;
    Shelved &shelved = shelved_[name];
    if (!shelved.tried) {
        shelved.tried = true;
        const QString base = folder_ + QLatin1Char('/') + name;
        shelved.dictionary =
            Dictionary::Open(base + QStringLiteral(".index"), base + QStringLiteral(".dict.dz"));
    }
    return shelved.dictionary.get();
}

}  // namespace verz
